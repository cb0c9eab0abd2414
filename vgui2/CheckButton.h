// CheckButton: a toggle shown as a box image (checked or empty) beside its
// text, without a button border. It leaves out the third, indeterminate
// state.
#pragma once

#include <string>

#include "vgui2/ToggleButton.h"

namespace vgui2 {

class CheckButton : public ToggleButton {
    VGUI2_PANEL_CLASS(CheckButton, ToggleButton);

public:
    static constexpr const char* kCheckedImage = "resource/icon_checked";
    static constexpr const char* kEmptyImage = "resource/icon_emptybox";

    CheckButton(Panel* parent, const char* panelName, const char* text);

    // Scheme image names; the images are fetched with the scheme.
    void SetCheckImages(const char* checkedImage, const char* emptyImage);

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;

private:
    static constexpr int kBoxIndex = 0;
    static constexpr int kTextIndex = 1;
    static constexpr int kTextGap = 2;

    std::string m_checkedName = kCheckedImage;
    std::string m_emptyName = kEmptyImage;
    IImage* m_checked = nullptr;
    IImage* m_empty = nullptr;
};

}  // namespace vgui2
