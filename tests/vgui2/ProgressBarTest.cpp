// ProgressBar: block counts and positions, clamping, no repaint for an
// unchanged value, the dialog variable, scheme colours and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/vgui2/ToolkitTestServices.h"
#include "vgui2/ProgressBar.h"

namespace {

using vgui2::Color;
using vgui2::ProgressBar;

class ProgressBarTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        schemes.colors["BrightControlText"] = Color(0, 200, 0, 255);
        schemes.colors["WindowBgColor"] = Color(20, 20, 20, 255);
        root = new toolkittest::RecordingContainer(nullptr, "root");
        root->SetSize(400, 300);
        bar = new ProgressBar(root, "Progress");
        bar->SetBounds(0, 0, 100, 20);
        bar->InvalidateLayout(true, true);
    }

    void TearDown() override {
        delete root;
        ToolkitTest::TearDown();
    }

    // The blocks painted, in the bar's foreground colour.
    std::vector<paneltest::FakeSurface::FilledRect> Blocks() {
        surface.filledRects.clear();
        bar->PaintTraverse(true, true);
        std::vector<paneltest::FakeSurface::FilledRect> blocks;
        for (const auto& rect : surface.filledRects) {
            if (rect.color == bar->GetFgColor()) {
                blocks.push_back(rect);
            }
        }
        return blocks;
    }

    std::size_t Repaints() {
        return static_cast<std::size_t>(
            std::count(surface.invalidated.begin(), surface.invalidated.end(), bar->GetVPanel()));
    }

    toolkittest::RecordingContainer* root = nullptr;
    ProgressBar* bar = nullptr;
};

TEST_F(ProgressBarTest, FullBarShowsEveryBlockThatFits) {
    bar->SetProgress(1.0f);
    std::vector<paneltest::FakeSurface::FilledRect> blocks = Blocks();
    ASSERT_EQ(blocks.size(), 8u) << "100 / (4 + 8) blocks";
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        int block = static_cast<int>(i) + 1;
        EXPECT_EQ(blocks[i].x0, block * 4 + (block - 1) * 8);
        EXPECT_EQ(blocks[i].x1, blocks[i].x0 + 8);
        EXPECT_EQ(blocks[i].y0, 4);
        EXPECT_EQ(blocks[i].y1, 20 - 4);
    }
    EXPECT_EQ(surface.filledRects.front().color, Color(20, 20, 20, 255)) << "the background first";
}

TEST_F(ProgressBarTest, PartialProgressTruncatesTheBlockCount) {
    bar->SetProgress(0.5f);
    EXPECT_EQ(Blocks().size(), 4u);
    bar->SetProgress(0.1f);
    EXPECT_TRUE(Blocks().empty()) << "0.8 of a block draws only the background";
    bar->SetSegmentInfo(2, 4);
    bar->SetProgress(0.5f);
    EXPECT_EQ(Blocks().size(), 8u);
}

TEST_F(ProgressBarTest, ValuesAreClampedAndAnUnchangedValueDoesNotRepaint) {
    bar->SetProgress(-0.5f);
    EXPECT_EQ(bar->GetProgress(), 0.0f);
    bar->SetProgress(7.0f);
    EXPECT_EQ(bar->GetProgress(), 1.0f);

    bar->SetProgress(0.25f);
    std::size_t before = Repaints();
    bar->SetProgress(0.25f);
    EXPECT_EQ(Repaints(), before);
    bar->SetProgress(0.3f);
    EXPECT_EQ(Repaints(), before + 1);

    KeyValues* message = new KeyValues("SetProgress");
    message->SetFloat("progress", 0.75f);
    bar->OnMessage(message, vgui2::kNoPanel);
    message->deleteThis();
    EXPECT_FLOAT_EQ(bar->GetProgress(), 0.75f);
}

TEST_F(ProgressBarTest, DialogVariableDrivesTheBarAsAPercentage) {
    root->SetVariable("percent", 50);
    EXPECT_EQ(bar->GetProgress(), 0.0f) << "a bar without a variable name ignores variables";

    KeyValues* settings = new KeyValues("Progress");
    settings->SetString("variable", "percent");
    bar->ApplySettings(settings);
    settings->deleteThis();
    root->SetVariable("percent", 50);
    EXPECT_FLOAT_EQ(bar->GetProgress(), 0.5f);
    root->SetVariable("percent", -5);
    EXPECT_FLOAT_EQ(bar->GetProgress(), 0.5f);
    root->SetVariable("other", 10);
    EXPECT_FLOAT_EQ(bar->GetProgress(), 0.5f);
    root->SetVariable("percent", 100);
    EXPECT_FLOAT_EQ(bar->GetProgress(), 1.0f);
}

TEST_F(ProgressBarTest, ErrorColourLastsUntilTheSchemeIsAppliedAgain) {
    EXPECT_EQ(bar->GetFgColor(), Color(0, 200, 0, 255));
    EXPECT_EQ(bar->GetBgColor(), Color(20, 20, 20, 255));
    bar->SetFgColor(Color(255, 0, 0, 255));
    bar->SetProgress(1.0f);
    EXPECT_EQ(Blocks().front().color, Color(255, 0, 0, 255));
    bar->InvalidateLayout(true, true);
    EXPECT_EQ(bar->GetFgColor(), Color(0, 200, 0, 255));
}

TEST_F(ProgressBarTest, SettingsTakeTheProgressWithinItsRangeAndReadBack) {
    KeyValues* settings = new KeyValues("Progress");
    settings->SetFloat("progress", 0.4f);
    settings->SetString("variable", "done");
    bar->ApplySettings(settings);
    settings->deleteThis();
    EXPECT_FLOAT_EQ(bar->GetProgress(), 0.4f);

    KeyValues* back = new KeyValues("Progress");
    bar->GetSettings(back);
    EXPECT_STREQ(back->GetString("ControlName"), "ProgressBar");
    EXPECT_FLOAT_EQ(back->GetFloat("progress"), 0.4f);
    EXPECT_STREQ(back->GetString("variable"), "done");
    back->deleteThis();

    // A layout's value outside the range is held to it, not stored.
    for (const char* stated : {"6.6e13", "-1e30", "nan"}) {
        KeyValues* wild = new KeyValues("Progress");
        wild->SetString("progress", stated);
        bar->ApplySettings(wild);
        wild->deleteThis();
        EXPECT_GE(bar->GetProgress(), 0.0f) << stated;
        EXPECT_LE(bar->GetProgress(), 1.0f) << stated;
        EXPECT_LE(bar->GetFilledBlockCount(), bar->GetWide()) << stated;
    }

    auto* fresh = new ProgressBar(root, "Fresh");
    KeyValues* freshBack = new KeyValues("Fresh");
    fresh->GetSettings(freshBack);
    EXPECT_EQ(freshBack->FindKey("variable"), nullptr);
    freshBack->deleteThis();
}

}  // namespace
