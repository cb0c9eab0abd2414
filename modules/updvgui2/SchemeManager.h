// The scheme service: loads scheme files (SchemeFile.h) through the
// module's file-system service and hands out schemes by handle and by name,
// images by file name, and the proportional scaling of layout values. Handle
// 0 means failure or "no such scheme"; asking for the scheme of a handle
// that names none gives an empty scheme that answers every lookup with its
// default, so callers never get a null scheme. Everything runs on the GUI
// thread. Drawing fonts and images is the surface's; borders draw through it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "modules/updvgui2/Scheme.h"
#include "modules/updvgui2/SchemeImage.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"

class CSchemeManager final : public vgui2::ISchemeManager {
public:
    CSchemeManager(vgui2::ISurface& surface, vgui2::IPanel& panels);

    // Loading a file under a name already loaded replaces that scheme's
    // content and keeps its handle.
    vgui2::HScheme LoadSchemeFromFile(const char* fileName, const char* tag) override;
    void ReloadSchemes() override;
    vgui2::HScheme GetDefaultScheme() override;
    vgui2::HScheme GetScheme(const char* tag) override;
    vgui2::IScheme* GetIScheme(vgui2::HScheme scheme) override;
    vgui2::IImage* GetImage(const char* imageName, bool hardwareFiltered) override;
    vgui2::HTexture GetImageID(const char* imageName, bool hardwareFiltered) override;
    int GetProportionalScaledValue(int normalizedValue) override;
    int GetProportionalNormalizedValue(int scaledValue) override;

private:
    bool ReadSchemeFile(const std::string& fileName, std::string& text) const;
    int ScreenTall() const;

    vgui2::ISurface& m_surface;
    vgui2::IPanel& m_panels;
    // Handle n is m_schemes[n - 1]; schemes are never removed, so handles and
    // the scheme pointers panels hold stay valid.
    std::vector<std::unique_ptr<CScheme>> m_schemes;
    CScheme m_emptyScheme;
    std::map<std::string, std::unique_ptr<CSchemeImage>> m_images;
};
