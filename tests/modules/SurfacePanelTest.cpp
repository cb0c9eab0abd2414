// The surface with the toolkit's own panels and the shipped scheme: a popup
// panel's background and its scheme border land in its window where they
// should, and a child's paint stays inside the child.
#include <memory>

#include "tests/modules/StagedSurfaceTest.h"
#include "vgui2/Panel.h"

using namespace vgui2;

namespace {

using SurfacePanelTest = surfacetest::StagedSurfaceTest;

TEST_F(SurfacePanelTest, SchemeBorderAndBackgroundLandOnTheirPixels) {
    IScheme* scheme = TheSchemeManager().GetIScheme(TheSchemeManager().GetDefaultScheme());
    ASSERT_NE(scheme, nullptr);
    IBorder* border = scheme->GetBorder("RaisedBorder");
    ASSERT_NE(border, nullptr);
    Color bright = SchemeColor("BorderBright");
    Color dark = SchemeColor("BorderDark");
    ASSERT_NE(bright, dark);

    auto box = std::make_unique<Panel>(nullptr, "Box");
    box->MakePopup(false);
    box->SetPos(50, 40);
    box->SetSize(60, 30);
    box->SetBgColor(Color(10, 20, 30, 255));
    box->SetBorder(border);
    box->SetVisible(true);
    auto child = std::make_unique<Panel>(box.get(), "Inner");
    child->SetPos(20, 10);
    child->SetSize(10, 10);
    child->SetBgColor(Color(200, 0, 0, 255));
    child->SetVisible(true);

    TheSurface().PaintTraverse(kNoPanel);
    SDL_Surface* shot = Shoot(*box);
    ASSERT_NE(shot, nullptr);
    ASSERT_EQ(shot->w, 60);
    ASSERT_EQ(shot->h, 30);
    EXPECT_EQ(At(0, 10), bright);
    EXPECT_EQ(At(30, 0), bright);
    EXPECT_EQ(At(59, 10), dark);
    EXPECT_EQ(At(30, 29), dark);
    EXPECT_EQ(At(5, 5), Color(10, 20, 30, 255));
    EXPECT_EQ(At(20, 10), Color(200, 0, 0, 255));
    EXPECT_EQ(At(29, 19), Color(200, 0, 0, 255));
    EXPECT_EQ(At(30, 15), Color(10, 20, 30, 255));

    // A repaint request from the toolkit redraws the window with the change.
    child->SetBgColor(Color(0, 0, 200, 255));
    child->Repaint();
    TheSurface().PaintTraverse(kNoPanel);
    shot = Shoot(*box);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(At(25, 15), Color(0, 0, 200, 255));

    child.reset();
    box.reset();
}

}  // namespace
