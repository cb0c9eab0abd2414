// FrameButton: one of a frame's title-bar buttons (minimize, maximize,
// minimize to tray, close). It is a small image button that takes the
// frame's title-bar look: while its frame is not focused it wears the
// disabled look (colours and border) without being disabled, so it still
// works. It never takes the keyboard focus.
#pragma once

#include "vgui2/Button.h"

namespace vgui2 {

class FrameButton : public Button {
    VGUI2_PANEL_CLASS(FrameButton, Button);

public:
    static constexpr int kSize = 18;

    // The image is looked up in the scheme by name; null or "" shows none.
    FrameButton(Panel* parent, const char* panelName, const char* imageName);

    // Sets the default, armed and depressed colours all to the disabled pair
    // or all to the normal pair.
    virtual void SetDisabledLook(bool state);
    bool HasDisabledLook() const { return m_disabledLook; }

    IBorder* GetBorder(bool depressed, bool armed, bool selected, bool keyFocus) override;
    // Pressing a title button must leave the focus where it was, or the
    // frame would lose it to its own chrome.
    void RequestFocus(int direction = 0) override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;

private:
    IBorder* m_defaultBorder = nullptr;
    IBorder* m_depressedBorder = nullptr;
    IBorder* m_disabledBorder = nullptr;
    Color m_enabledFg, m_enabledBg;
    Color m_disabledFg, m_disabledBg;
    bool m_disabledLook = true;
};

}  // namespace vgui2
