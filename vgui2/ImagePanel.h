// ImagePanel: shows one scheme image at its top-left corner, optionally
// stretched to the panel's size. It leaves out tiling and image colouring.
#pragma once

#include <string>

#include "vgui2/Panel.h"

namespace vgui2 {

class IImage;

class ImagePanel : public Panel {
    VGUI2_PANEL_CLASS(ImagePanel, Panel);

public:
    ImagePanel(Panel* parent, const char* panelName);

    // A scheme image name, fetched with the scheme.
    virtual void SetImage(const char* imageName);
    virtual void SetImage(IImage* image);
    IImage* GetImage() { return m_image; }
    const std::string& GetImageName() const { return m_imageName; }
    void SetShouldScaleImage(bool state);

    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void Paint() override;

private:
    std::string m_imageName;
    IImage* m_image = nullptr;
    bool m_scaleImage = false;
};

}  // namespace vgui2
