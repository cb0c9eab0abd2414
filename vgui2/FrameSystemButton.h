// FrameSystemButton: the icon at the left of a frame's title bar that opens
// the frame's system menu. It shows the scheme's title-bar icon, a dimmer
// one while the frame is not focused, opens with either mouse button and
// closes the frame on a double press.
#pragma once

#include <string>

#include "vgui2/MenuButton.h"

namespace vgui2 {

class IImage;

class FrameSystemButton : public MenuButton {
    VGUI2_PANEL_CLASS(FrameSystemButton, MenuButton);

public:
    FrameSystemButton(Panel* parent, const char* panelName);

    // Whether pressing the button opens the menu at all.
    virtual void SetMenuEnabled(bool state);
    bool IsMenuEnabled() const { return m_menuEnabled; }

    void SetEnabled(bool state) override;
    void DoClick() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void OnMouseDoublePressed(MouseCode code) override;

private:
    void ShowImageForState();

    IImage* m_enabledImage = nullptr;
    IImage* m_disabledImage = nullptr;
    Color m_enabledBg;
    Color m_disabledBg;
    bool m_menuEnabled = true;
};

}  // namespace vgui2
