// The panel service: screen positions and clip rectangles from the tree,
// z order, reparenting (including refused cycles), minimum sizes, flags,
// unknown ids, and handing panels back only to their own module.
#include <gtest/gtest.h>

#include <vector>

#include "tests/vgui2/PanelTestServices.h"

namespace {

using vgui2::VPANEL;

class PanelServiceTest : public paneltest::ServicesTest {
protected:
    void TearDown() override {
        for (auto it = m_ids.rbegin(); it != m_ids.rend(); ++it) {
            TheVGui().FreePanel(*it);
        }
        ServicesTest::TearDown();
    }

    // A bare id without a client object.
    VPANEL Make(VPANEL parent, int x, int y, int wide, int tall) {
        VPANEL id = TheVGui().AllocPanel();
        m_ids.push_back(id);
        panels.SetParent(id, parent);
        panels.SetPos(id, x, y);
        panels.SetSize(id, wide, tall);
        return id;
    }

    std::vector<VPANEL> Children(VPANEL parent) {
        std::vector<VPANEL> children;
        for (int i = 0; i < panels.GetChildCount(parent); ++i) {
            children.push_back(panels.GetChild(parent, i));
        }
        return children;
    }

    vgui2::IPanel& panels = ThePanelService();

private:
    std::vector<VPANEL> m_ids;
};

struct Rect {
    int x0, y0, x1, y1;
    bool operator==(const Rect&) const = default;
};

Rect ClipOf(VPANEL panel) {
    Rect r{};
    ThePanelService().GetClipRect(panel, r.x0, r.y0, r.x1, r.y1);
    return r;
}

TEST_F(PanelServiceTest, AbsolutePositionsAndClipRectanglesFollowTheTree) {
    VPANEL root = Make(vgui2::kNoPanel, 0, 0, 400, 300);
    VPANEL frame = Make(root, 100, 50, 200, 100);
    panels.SetInset(frame, 5, 10, 5, 5);
    VPANEL child = Make(frame, 150, 0, 100, 40);

    int x = 0, y = 0;
    panels.GetAbsPos(child, x, y);
    EXPECT_EQ(x, 250);
    EXPECT_EQ(y, 50);
    // Cut by the frame's right edge less its inset, and by its top inset.
    EXPECT_EQ(ClipOf(child), (Rect{250, 60, 295, 90}));

    // A popup is a window of its own: its position is on the screen and its
    // parent does not clip it.
    VPANEL popup = Make(frame, 500, 400, 50, 50);
    panels.SetPopup(popup, true);
    panels.GetAbsPos(popup, x, y);
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 400);
    EXPECT_EQ(ClipOf(popup), (Rect{500, 400, 550, 450}));

    // Entirely outside its parent: an empty rectangle.
    VPANEL outside = Make(frame, 300, 0, 10, 10);
    Rect clip = ClipOf(outside);
    EXPECT_EQ(clip.x1, clip.x0);
}

TEST_F(PanelServiceTest, ZOrderSortsChildrenAndFrontBackMoveThem) {
    VPANEL root = Make(vgui2::kNoPanel, 0, 0, 10, 10);
    VPANEL a = Make(root, 0, 0, 1, 1);
    VPANEL b = Make(root, 0, 0, 1, 1);
    VPANEL c = Make(root, 0, 0, 1, 1);
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{a, b, c}));
    panels.SetZPos(a, 5);
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{b, c, a}));
    EXPECT_EQ(panels.GetZPos(a), 5);
    panels.MoveToFront(b);
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{c, a, b}));
    panels.MoveToBack(a);
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{a, c, b}));
    // The order survives a later re-sort.
    panels.SetZPos(c, panels.GetZPos(c));
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{a, c, b}));
}

TEST_F(PanelServiceTest, ReparentingMovesTheChildAndRefusesCycles) {
    VPANEL root = Make(vgui2::kNoPanel, 0, 0, 10, 10);
    VPANEL a = Make(root, 0, 0, 1, 1);
    VPANEL b = Make(a, 0, 0, 1, 1);
    panels.SetParent(b, root);
    EXPECT_EQ(panels.GetParent(b), root);
    EXPECT_EQ(panels.GetChildCount(a), 0);
    EXPECT_EQ(Children(root), (std::vector<VPANEL>{a, b}));

    panels.SetParent(b, a);
    panels.SetParent(a, b);  // would make a its own grandparent
    EXPECT_EQ(panels.GetParent(a), root);
    panels.SetParent(a, a);
    EXPECT_EQ(panels.GetParent(a), root);
    EXPECT_TRUE(panels.HasParent(b, root));
    EXPECT_TRUE(panels.HasParent(b, b));
    EXPECT_FALSE(panels.HasParent(root, b));
}

TEST_F(PanelServiceTest, FreeingAPanelDetachesItFromParentAndChildren) {
    VPANEL root = Make(vgui2::kNoPanel, 0, 0, 10, 10);
    VPANEL middle = TheVGui().AllocPanel();
    panels.SetParent(middle, root);
    VPANEL leaf = Make(middle, 0, 0, 1, 1);
    TheVGui().FreePanel(middle);
    EXPECT_EQ(panels.GetChildCount(root), 0);
    EXPECT_EQ(panels.GetParent(leaf), vgui2::kNoPanel);
    // Every operation on the freed id is harmless.
    panels.SetPos(middle, 1, 1);
    panels.SetParent(leaf, middle);
    EXPECT_EQ(panels.GetParent(leaf), vgui2::kNoPanel);
    EXPECT_FALSE(panels.IsVisible(middle));
    EXPECT_EQ(panels.Client(middle), nullptr);
}

TEST_F(PanelServiceTest, MinimumSizeHoldsAndSizeChangesReachTheClient) {
    struct SizeWatcher : paneltest::RecordingPanel {
        using RecordingPanel::RecordingPanel;
        void OnSizeChanged(int wide, int tall) override {
            sizes.emplace_back(wide, tall);
            Panel::OnSizeChanged(wide, tall);
        }
        std::vector<std::pair<int, int>> sizes;
    };
    auto* panel = new SizeWatcher(nullptr, "sized");
    VPANEL id = panel->GetVPanel();
    panel->sizes.clear();
    panels.SetMinimumSize(id, 100, 10);
    int wide = 0, tall = 0;
    panels.GetSize(id, wide, tall);
    EXPECT_EQ(wide, 100);
    EXPECT_EQ(tall, 24);
    panels.SetSize(id, 50, 50);
    panels.GetSize(id, wide, tall);
    EXPECT_EQ(wide, 100);
    EXPECT_EQ(tall, 50);
    panels.SetSize(id, 100, 50);  // unchanged: no notification
    EXPECT_EQ(panel->sizes, (std::vector<std::pair<int, int>>{{100, 24}, {100, 50}}));
    delete panel;
}

TEST_F(PanelServiceTest, PanelsAreHandedBackOnlyToTheirOwnModule) {
    auto* panel = new paneltest::RecordingPanel(nullptr, "mine");
    VPANEL id = panel->GetVPanel();
    EXPECT_EQ(panels.GetPanel(id, "Updater"), panel);
    EXPECT_EQ(panels.GetPanel(id, "SomeOtherModule"), nullptr);
    EXPECT_EQ(panels.GetPanel(id, nullptr), nullptr);
    EXPECT_STREQ(panels.GetName(id), "mine");
    EXPECT_STREQ(panels.GetClassName(id), "Panel");
    delete panel;
    EXPECT_EQ(panels.GetPanel(id, "Updater"), nullptr);
    EXPECT_STREQ(panels.GetName(id), "");
}

TEST_F(PanelServiceTest, FullVisibilityNeedsEveryAncestorVisible) {
    VPANEL root = Make(vgui2::kNoPanel, 0, 0, 10, 10);
    VPANEL child = Make(root, 0, 0, 1, 1);
    EXPECT_TRUE(panels.IsFullyVisible(child));
    panels.SetVisible(root, false);
    EXPECT_TRUE(panels.IsVisible(child));
    EXPECT_FALSE(panels.IsFullyVisible(child));
    panels.SetEnabled(child, false);
    EXPECT_FALSE(panels.IsEnabled(child));
    panels.SetKeyBoardInputEnabled(child, false);
    EXPECT_FALSE(panels.IsKeyBoardInputEnabled(child));
    EXPECT_TRUE(panels.IsMouseInputEnabled(child));
}

}  // namespace
