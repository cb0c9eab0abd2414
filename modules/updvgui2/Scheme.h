// One loaded scheme: its colours, settings, fonts and borders by name
// (names compared without regard to case). Fonts are made by the surface
// when first asked for, choosing the variant meant for the screen height;
// borders are built at load time. Reloading keeps every border object and
// font handle that panels may hold and only changes their look.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "modules/updvgui2/SchemeBorder.h"
#include "modules/updvgui2/SchemeFile.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"

class CScheme final : public vgui2::IScheme {
public:
    CScheme(vgui2::ISurface& surface, vgui2::IPanel& panels, const char* tag, const char* fileName);

    // Replaces the content; false (and nothing changed) for text that is not
    // a scheme.
    bool Load(const char* text);

    const std::string& Tag() const { return m_tag; }
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }

    // A setting's text, or "" when the scheme has none of that name.
    const char* GetResourceString(const char* stringName) override;
    // Null when the scheme has no border of that name.
    vgui2::IBorder* GetBorder(const char* borderName) override;
    // 0 when the scheme has no such font or the surface cannot make it.
    vgui2::HFont GetFont(const char* fontName, bool proportional) override;
    vgui2::Color GetColor(const char* colorName, vgui2::Color defaultColor) override;

private:
    struct FontHandle {
        vgui2::HFont handle = 0;
        bool current = false;  // glyphs set for the present scheme data
        bool usable = false;   // the surface accepted the glyph set
    };

    void BuildBorders();
    const SchemeBorderSpec* ResolveBorder(const std::string& name) const;
    const SchemeFontVariant* ChooseVariant(const std::vector<SchemeFontVariant>& variants) const;
    int ScreenTall() const;

    vgui2::ISurface& m_surface;
    vgui2::IPanel& m_panels;
    std::string m_tag;
    std::string m_fileName;
    SchemeData m_data;
    std::map<std::string, std::unique_ptr<CSchemeBorder>> m_borders;
    // Keyed by lower-case name, proportional ones with a "|p" suffix.
    std::map<std::string, FontHandle> m_fonts;
};
