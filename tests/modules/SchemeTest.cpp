// The scheme service: scheme text parsing, loading by file and name, colour,
// setting, font, border and image lookups, and the shipped scheme file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/SchemeFile.h"
#include "modules/updvgui2/SchemeManager.h"
#include "tests/modules/RecordingSurface.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::RecordingSurface;
using vgui2::Color;

constexpr const char* kSampleScheme = R"(
"Scheme"
{
	"Colors"
	{
		"Red"		"255 0 0 255"
		"Half"		"10 20 30 128"
	}
	"BaseSettings"
	{
		"FgColor"	"Red"
		"BgColor"	"1 2 3"
		"Menu"		{ "TextInset" "6" "FgColor" "Half" }
		"TitleBarIcon"	"resource/icon_x"
		"Dangling"	"NoSuchColor"
	}
	"Fonts"
	{
		"Default"
		{
			"1" { "name" "Small Face" "tall" "10" "weight" "400" "antialias" "1" "yres" "1 599" }
			"2" { "name" "Big Face" "tall" "16" "weight" "700" "italic" "1" "yres" "600 10000" }
		}
	}
	"Borders"
	{
		"Box"
		{
			"inset" "1 2 3 4"
			"Left"		{ "1" { "color" "Red" "offset" "0 1" } "2" { "color" "0 255 0 255" "offset" "1 1" } }
			"Top"		{ "1" { "color" "Red" "offset" "0 0" } }
			"Right"		{ "1" { "color" "NoSuchColor" "offset" "0 0" } }
		}
		"ButtonBorder"	"Box"
		"LoopA"		"LoopB"
		"LoopB"		"LoopA"
	}
	"CustomFontFiles"
	{
		"1"	"resource/extra.ttf"
	}
}
)";

TEST(SchemeText, ColoursAcceptThreeOrFourComponentsInRange) {
    Color color;
    EXPECT_TRUE(ParseColorText("1 2 3", color));
    EXPECT_EQ(color, Color(1, 2, 3, 255));
    EXPECT_TRUE(ParseColorText(" 10\t20 30 40 ", color));
    EXPECT_EQ(color, Color(10, 20, 30, 40));
    for (const char* bad : {"", "1 2", "1 2 3 4 5", "256 0 0", "-1 0 0", "red", "1 2 x", "1,2,3"}) {
        EXPECT_FALSE(ParseColorText(bad, color)) << bad;
    }
    EXPECT_FALSE(ParseColorText(nullptr, color));
}

TEST(SchemeText, SectionsAreReadAndNestedSettingsFlattened) {
    SchemeData data;
    ASSERT_TRUE(ParseSchemeText(kSampleScheme, data));
    EXPECT_EQ(data.colors.at("red"), Color(255, 0, 0, 255));
    EXPECT_EQ(data.settings.at("menu/textinset"), "6");
    EXPECT_EQ(data.settings.at("fgcolor"), "Red");
    ASSERT_EQ(data.fonts.at("default").size(), 2u);
    const SchemeFontVariant& big = data.fonts.at("default")[1];
    EXPECT_EQ(big.name, "Big Face");
    EXPECT_EQ(big.minScreenTall, 600);
    EXPECT_EQ(big.flags, vgui2::ISurface::FONTFLAG_ITALIC);
    EXPECT_EQ(data.borders.at("buttonborder").alias, "Box");
    EXPECT_EQ(data.borders.at("box").sides[vgui2::IBorder::SIDE_LEFT].size(), 2u);
    ASSERT_EQ(data.customFontFiles.size(), 1u);

    EXPECT_FALSE(ParseSchemeText("", data));
    EXPECT_FALSE(ParseSchemeText("\"Scheme\" { \"Unrelated\" { \"a\" \"b\" } }", data));
    EXPECT_FALSE(ParseSchemeText("garbage without structure", data));
}

// A scheme manager over a recording surface, reading files from a fresh
// folder through the real file-system service.
class SchemeManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_fileSystem.AddSearchPath(m_folder.Path().c_str(), "PLATFORM");
        SetModuleFileSystem(&m_fileSystem);
        testsupport::WriteFile(m_folder.File("resource/Sample.res"), kSampleScheme);
    }
    void TearDown() override {
        m_fileSystem.RemoveAllSearchPaths();
        SetModuleFileSystem(nullptr);
    }

    testsupport::TempDir m_folder;
    CFileSystemStdio m_fileSystem;
    RecordingSurface m_surface;
    CSchemeManager m_manager{m_surface, ThePanelService()};
};

TEST_F(SchemeManagerTest, HandlesByFileAndByName) {
    EXPECT_EQ(m_manager.GetDefaultScheme(), 0u);
    EXPECT_EQ(m_manager.LoadSchemeFromFile("resource/Missing.res", "Missing"), 0u);
    testsupport::WriteFile(m_folder.File("resource/Broken.res"), "not a scheme at all");
    EXPECT_EQ(m_manager.LoadSchemeFromFile("resource/Broken.res", "Broken"), 0u);
    EXPECT_EQ(m_manager.GetScheme("Broken"), 0u) << "a failed load must not register the name";

    vgui2::HScheme handle = m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample");
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(m_manager.GetScheme("Sample"), handle);
    EXPECT_EQ(m_manager.GetScheme("sample"), handle);
    EXPECT_EQ(m_manager.GetScheme("Other"), 0u);
    EXPECT_EQ(m_manager.GetScheme(nullptr), 0u);
    EXPECT_EQ(m_manager.GetDefaultScheme(), handle);
    EXPECT_EQ(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"), handle) << "same name, same handle";

    vgui2::HScheme second = m_manager.LoadSchemeFromFile("resource/Sample.res", "Second");
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, handle);
    EXPECT_EQ(m_manager.GetDefaultScheme(), handle) << "the first scheme stays the default";
    ASSERT_FALSE(m_surface.customFontFiles.empty());
    EXPECT_EQ(m_surface.customFontFiles[0], "resource/extra.ttf");
}

TEST_F(SchemeManagerTest, UnknownHandlesGiveAnEmptySchemeNotNull) {
    vgui2::IScheme* empty = m_manager.GetIScheme(42);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetColor("FgColor", Color(9, 8, 7, 6)), Color(9, 8, 7, 6));
    EXPECT_EQ(empty->GetBorder("ButtonBorder"), nullptr);
    EXPECT_EQ(empty->GetFont("Default", false), 0u);
    EXPECT_STREQ(empty->GetResourceString("Menu/TextInset"), "");
}

TEST_F(SchemeManagerTest, ColoursAndSettingsResolveThroughThePalette) {
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    const Color fallback(7, 7, 7, 7);
    EXPECT_EQ(scheme->GetColor("FgColor", fallback), Color(255, 0, 0, 255)) << "setting naming a palette colour";
    EXPECT_EQ(scheme->GetColor("fgcolor", fallback), Color(255, 0, 0, 255));
    EXPECT_EQ(scheme->GetColor("BgColor", fallback), Color(1, 2, 3, 255)) << "literal colour setting";
    EXPECT_EQ(scheme->GetColor("Menu/FgColor", fallback), Color(10, 20, 30, 128)) << "nested setting";
    EXPECT_EQ(scheme->GetColor("Half", fallback), Color(10, 20, 30, 128)) << "palette name asked directly";
    EXPECT_EQ(scheme->GetColor("Dangling", fallback), fallback);
    EXPECT_EQ(scheme->GetColor("Missing", fallback), fallback);
    EXPECT_STREQ(scheme->GetResourceString("Menu/TextInset"), "6");
    EXPECT_STREQ(scheme->GetResourceString("TitleBarIcon"), "resource/icon_x");
    EXPECT_STREQ(scheme->GetResourceString("Missing"), "");
}

TEST_F(SchemeManagerTest, FontsPickTheVariantForTheScreenAndAreMadeOnce) {
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    m_surface.screenTall = 768;
    vgui2::HFont font = scheme->GetFont("Default", false);
    ASSERT_NE(font, 0u);
    ASSERT_EQ(m_surface.glyphSets.size(), 1u);
    EXPECT_EQ(m_surface.glyphSets[0].name, "Big Face");
    EXPECT_EQ(m_surface.glyphSets[0].tall, 16);
    EXPECT_EQ(m_surface.glyphSets[0].weight, 700);
    EXPECT_EQ(scheme->GetFont("DEFAULT", false), font);
    EXPECT_EQ(m_surface.fontsCreated, 1) << "a font is made once, not per lookup";

    vgui2::HFont proportional = scheme->GetFont("Default", true);
    EXPECT_NE(proportional, font);
    EXPECT_EQ(m_surface.glyphSets.back().tall, 16 * 768 / 480);
    EXPECT_EQ(scheme->GetFont("NoSuchFont", false), 0u);

    // A reload keeps the handle panels hold and gives it the variant for
    // the screen as it is now.
    m_surface.screenTall = 500;
    m_manager.ReloadSchemes();
    EXPECT_EQ(scheme->GetFont("Default", false), font);
    EXPECT_EQ(m_surface.glyphSets.back().name, "Small Face");
}

TEST_F(SchemeManagerTest, AFontTheSurfaceRefusesIsNoFont) {
    m_surface.acceptGlyphSets = false;
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    EXPECT_EQ(scheme->GetFont("Default", false), 0u);
    EXPECT_EQ(scheme->GetFont("Default", false), 0u) << "the refusal is remembered, not a handle on the second ask";
}

TEST_F(SchemeManagerTest, BordersPaintTheirLinesInside) {
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    vgui2::IBorder* border = scheme->GetBorder("Box");
    ASSERT_NE(border, nullptr);
    int inset[4];
    border->GetInset(inset[0], inset[1], inset[2], inset[3]);
    EXPECT_EQ((std::vector<int>{inset[0], inset[1], inset[2], inset[3]}), (std::vector<int>{1, 2, 3, 4}));

    border->Paint(10, 20, 50, 60);
    using Rect = RecordingSurface::Rect;
    const Color red(255, 0, 0, 255);
    std::vector<Rect> expected = {
        {red, 10, 20, 11, 59},             // left, outermost, shortened by 1 at the bottom
        {Color(0, 255, 0, 255), 11, 21, 12, 59},  // left, second line, one pixel further in
        {red, 10, 20, 50, 21},             // top
        // The right line names an unknown colour and is left out; no bottom.
    };
    EXPECT_EQ(m_surface.filledRects, expected);

    m_surface.filledRects.clear();
    border->Paint(0, 0, 40, 40, vgui2::IBorder::SIDE_TOP, 10, 20);
    const Rect topLeftPart{red, 0, 0, 10, 1};
    const Rect topRightPart{red, 20, 0, 40, 1};
    ASSERT_EQ(m_surface.filledRects.size(), 4u);
    EXPECT_EQ(m_surface.filledRects[2], topLeftPart);
    EXPECT_EQ(m_surface.filledRects[3], topRightPart);
}

TEST_F(SchemeManagerTest, BorderNamesAliasesAndReloads) {
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    vgui2::IBorder* button = scheme->GetBorder("ButtonBorder");
    ASSERT_NE(button, nullptr);
    button->Paint(0, 0, 10, 10);
    std::size_t aliasLines = m_surface.filledRects.size();
    m_surface.filledRects.clear();
    scheme->GetBorder("Box")->Paint(0, 0, 10, 10);
    EXPECT_EQ(m_surface.filledRects.size(), aliasLines) << "an alias draws like the border it names";
    EXPECT_EQ(scheme->GetBorder("LoopA"), nullptr) << "an alias loop is no border";
    EXPECT_EQ(scheme->GetBorder("Missing"), nullptr);

    // Panels keep border pointers: a reload changes the look, not the object.
    vgui2::IBorder* box = scheme->GetBorder("Box");
    testsupport::WriteFile(m_folder.File("resource/Sample.res"),
                           R"("Scheme" { "Borders" { "Box" { "inset" "5 5 5 5" } } })");
    m_manager.ReloadSchemes();
    EXPECT_EQ(scheme->GetBorder("Box"), box);
    int l, t, r, b;
    box->GetInset(l, t, r, b);
    EXPECT_EQ(l, 5);
    EXPECT_EQ(scheme->GetBorder("ButtonBorder"), nullptr) << "the alias is gone from the file";
    m_surface.filledRects.clear();
    button->Paint(0, 0, 10, 10);
    EXPECT_TRUE(m_surface.filledRects.empty()) << "a dropped border stays valid and draws nothing";

    testsupport::WriteFile(m_folder.File("resource/Sample.res"), "broken");
    m_manager.ReloadSchemes();
    EXPECT_NE(scheme->GetBorder("Box"), nullptr) << "a broken file keeps the scheme as it was";
}

TEST_F(SchemeManagerTest, BordersPaintAPanelBySize) {
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Sample.res", "Sample"));
    vgui2::VPANEL panel = TheVGui().AllocPanel();
    ThePanelService().SetSize(panel, 30, 20);
    scheme->GetBorder("Box")->Paint(panel);
    ASSERT_EQ(m_surface.filledRects.size(), 3u);
    EXPECT_EQ(m_surface.filledRects[2], (RecordingSurface::Rect{Color(255, 0, 0, 255), 0, 0, 30, 1}));
    TheVGui().FreePanel(panel);
}

// Found by fuzzing: an offset of INT_MIN made the painter's edge arithmetic
// overflow (undefined behaviour; in practice the line vanished).
TEST_F(SchemeManagerTest, BorderNumbersBeyondAnyScreenAreHeldNotOverflowed) {
    testsupport::WriteFile(m_folder.File("resource/Wild.res"), R"("Scheme" { "Borders" { "Wild" {
        "inset" "2147483647 -2147483648 99999999999 0"
        "Left" { "1" { "color" "255 0 0 255" "offset" "0 -2147483648" } }
        "Top" { "1" { "color" "255 0 0 255" "offset" "2147483647 0" } } } } })");
    vgui2::IScheme* scheme = m_manager.GetIScheme(m_manager.LoadSchemeFromFile("resource/Wild.res", "Wild"));
    vgui2::IBorder* border = scheme->GetBorder("Wild");
    ASSERT_NE(border, nullptr);
    int inset[4];
    border->GetInset(inset[0], inset[1], inset[2], inset[3]);
    EXPECT_EQ((std::vector<int>{inset[0], inset[1], inset[2], inset[3]}), (std::vector<int>{65536, -65536, 65536, 0}));

    border->Paint(0, 0, 40, 20);
    ASSERT_EQ(m_surface.filledRects.size(), 1u) << "the top line starts past its end and draws nothing";
    const RecordingSurface::Rect& left = m_surface.filledRects[0];
    EXPECT_EQ(left.y0, 0);
    EXPECT_GT(left.y1, 20) << "a negative end offset runs the line past the bottom edge";
}

TEST_F(SchemeManagerTest, ImagesAreSharedByNameAndDrawAtTheirSize) {
    m_surface.loadableTextures = {"resource/icon_up"};
    vgui2::IImage* image = m_manager.GetImage("resource/icon_up", false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(m_manager.GetImage("resource/icon_up", false), image);
    EXPECT_EQ(m_manager.GetImage("", false), nullptr);
    EXPECT_EQ(m_surface.texturesCreated, 0) << "the file is read on first use, not on lookup";

    int wide = 0;
    int tall = 0;
    image->GetSize(wide, tall);
    EXPECT_EQ(wide, 16);
    EXPECT_EQ(tall, 12);
    image->SetPos(3, 4);
    image->Paint();
    ASSERT_EQ(m_surface.texturedRects.size(), 1u);
    EXPECT_EQ(m_surface.texturedRects[0], (RecordingSurface::Rect{Color(255, 255, 255, 255), 3, 4, 19, 16}));
    image->SetSize(8, 8);
    image->SetColor(Color(1, 2, 3, 4));
    image->Paint();
    EXPECT_EQ(m_surface.texturedRects[1], (RecordingSurface::Rect{Color(1, 2, 3, 4), 3, 4, 11, 12}));
    EXPECT_GT(m_manager.GetImageID("resource/icon_up", false), 0);

    vgui2::IImage* missing = m_manager.GetImage("resource/icon_missing", false);
    missing->Paint();
    missing->GetContentSize(wide, tall);
    EXPECT_EQ(wide + tall, 0);
    EXPECT_EQ(m_surface.texturedRects.size(), 2u) << "a missing picture draws nothing";
    EXPECT_EQ(m_manager.GetImageID("resource/icon_missing", false), -1);
}

TEST_F(SchemeManagerTest, ProportionalValuesScaleWithTheScreenHeight) {
    m_surface.screenTall = 960;
    EXPECT_EQ(m_manager.GetProportionalScaledValue(100), 200);
    EXPECT_EQ(m_manager.GetProportionalNormalizedValue(200), 100);
    m_surface.screenTall = 0;
    EXPECT_EQ(m_manager.GetProportionalScaledValue(100), 100) << "no screen yet: no scaling, no division by zero";
}

// Every name the toolkit's controls ask for is in the scheme we ship.
TEST(ShippedScheme, HasEveryNameTheControlsUse) {
    const char* stage = std::getenv("UPD_STAGE_DIR");
    ASSERT_NE(stage, nullptr);
    CFileSystemStdio fileSystem;
    fileSystem.AddSearchPath((std::string(stage) + "/platform").c_str(), "PLATFORM");
    SetModuleFileSystem(&fileSystem);
    RecordingSurface surface;
    CSchemeManager manager(surface, ThePanelService());
    vgui2::HScheme handle = manager.LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme");
    SetModuleFileSystem(nullptr);
    ASSERT_NE(handle, 0u);
    vgui2::IScheme* scheme = manager.GetIScheme(handle);

    const Color unset(1, 2, 3, 4);
    for (const char* name :
         {"FgColor", "BgColor", "BaseText", "BrightBaseText", "BrightControlText", "LabelDimText", "LabelBgColor",
          "DisabledFgColor1", "DisabledFgColor2", "BorderBright", "BorderDark", "BorderSelection", "ControlBG",
          "WindowFgColor", "WindowBgColor", "WindowDisabledFgColor", "SelectionFgColor", "SelectionBgColor",
          "SelectionBG", "TitleBarFgColor", "TitleBarBgColor", "TitleBarDisabledFgColor",
          "TitleBarDisabledBgColor", "TitleButtonFgColor", "TitleButtonBgColor", "TitleButtonDisabledFgColor",
          "TitleButtonDisabledBgColor", "ButtonFgColor", "ButtonBgColor", "ButtonArmedFgColor",
          "ButtonArmedBgColor", "ButtonDepressedFgColor", "ButtonDepressedBgColor", "ButtonFocusBorder",
          "Menu/FgColor", "Menu/BgColor", "Menu/ArmedFgColor", "Menu/ArmedBgColor",
          "MenuButton/ButtonArrowColor", "MenuButton/ButtonBgColor", "MenuButton/ArmedArrowColor",
          "ScrollBar/BgColor", "ScrollBarSlider/ScrollBarSliderFgColor",
          "ScrollBarSlider/ScrollBarSliderBgColor"}) {
        EXPECT_NE(scheme->GetColor(name, unset), unset) << "colour " << name;
    }
    for (const char* name :
         {"FrameBorder", "ButtonBorder", "ButtonDepressedBorder", "ButtonKeyFocusBorder", "ComboBoxBorder",
          "MenuBorder", "ToolTipBorder", "ScrollBarButtonBorder", "ScrollBarButtonDepressedBorder",
          "TitleButtonBorder", "TitleButtonDepressedBorder", "TitleButtonDisabledBorder"}) {
        EXPECT_NE(scheme->GetBorder(name), nullptr) << "border " << name;
    }
    for (const char* name : {"Default", "DefaultSmall", "Marlett"}) {
        EXPECT_NE(scheme->GetFont(name, false), 0u) << "font " << name;
    }
    for (const RecordingSurface::GlyphSet& glyphs : surface.glyphSets) {
        EXPECT_TRUE(glyphs.name == "DejaVu Sans" || glyphs.name == "Marlett") << glyphs.name;
        EXPECT_GT(glyphs.tall, 0);
    }
    EXPECT_GT(std::atoi(scheme->GetResourceString("Menu/TextInset")), 0);
    EXPECT_STRNE(scheme->GetResourceString("TitleBarIcon"), "");
}

}  // namespace
