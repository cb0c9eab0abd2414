#include "vgui2/ImagePanel.h"

#include <cstdio>

#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

void ImagePanel::AddMessageHandlers(PanelMessageMap&) {}

ImagePanel::ImagePanel(Panel* parent, const char* panelName) : Panel(parent, panelName) {
    SetPaintBackgroundEnabled(false);
}

void ImagePanel::SetImage(const char* imageName) {
    m_imageName = imageName ? imageName : "";
    InvalidateLayout(false, true);
}

void ImagePanel::SetImage(IImage* image) {
    m_image = image;
    Repaint();
}

void ImagePanel::SetShouldScaleImage(bool state) {
    m_scaleImage = state;
    Repaint();
}

void ImagePanel::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    if (!m_imageName.empty()) {
        SetImage(scheme()->GetImage(m_imageName.c_str(), m_scaleImage));
    }
}

void ImagePanel::Paint() {
    if (!m_image) {
        return;
    }
    if (m_scaleImage) {
        m_image->SetSize(GetWide(), GetTall());
    }
    m_image->SetPos(0, 0);
    m_image->Paint();
}

void ImagePanel::ApplySettings(KeyValues* settings) {
    Panel::ApplySettings(settings);
    m_scaleImage = settings->GetInt("scaleImage", m_scaleImage ? 1 : 0) != 0;
    if (const char* image = settings->GetString("image", nullptr)) {
        SetImage(image);
    }
}

void ImagePanel::GetSettings(KeyValues* settings) {
    Panel::GetSettings(settings);
    if (!m_imageName.empty()) {
        settings->SetString("image", m_imageName.c_str());
    }
    settings->SetInt("scaleImage", m_scaleImage ? 1 : 0);
}

const char* ImagePanel::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description), "%s, string image, int scaleImage", Panel::GetDescription());
    return description;
}

}  // namespace vgui2
