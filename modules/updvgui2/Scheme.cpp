#include "modules/updvgui2/Scheme.h"

namespace {

// Alias chains longer than this are taken as a loop.
constexpr int kMaxBorderAliasDepth = 16;

}  // namespace

CScheme::CScheme(vgui2::ISurface& surface, vgui2::IPanel& panels, const char* tag, const char* fileName)
    : m_surface(surface), m_panels(panels), m_tag(tag ? tag : ""), m_fileName(fileName ? fileName : "") {}

bool CScheme::Load(const char* text) {
    SchemeData data;
    if (!ParseSchemeText(text, data)) {
        return false;
    }
    m_data = std::move(data);
    for (const std::string& file : m_data.customFontFiles) {
        m_surface.AddCustomFontFile(file.c_str());
    }
    for (auto& [name, font] : m_fonts) {
        font.current = false;
    }
    BuildBorders();
    return true;
}

const SchemeBorderSpec* CScheme::ResolveBorder(const std::string& name) const {
    std::string key = LowerCase(name.c_str());
    for (int depth = 0; depth < kMaxBorderAliasDepth; ++depth) {
        auto found = m_data.borders.find(key);
        if (found == m_data.borders.end()) {
            return nullptr;
        }
        if (found->second.alias.empty()) {
            return &found->second;
        }
        key = LowerCase(found->second.alias.c_str());
    }
    return nullptr;
}

void CScheme::BuildBorders() {
    // Borders dropped from the file keep their object, so panels holding
    // them stay valid; they just draw nothing.
    for (auto& [key, border] : m_borders) {
        border->Apply(SchemeBorderSpec{}, *this);
    }
    for (const auto& [key, spec] : m_data.borders) {
        const SchemeBorderSpec* resolved = ResolveBorder(key);
        if (!resolved) {
            continue;
        }
        std::unique_ptr<CSchemeBorder>& border = m_borders[key];
        if (!border) {
            border = std::make_unique<CSchemeBorder>(m_surface, m_panels, key.c_str());
        }
        border->Apply(*resolved, *this);
    }
}

const char* CScheme::GetResourceString(const char* stringName) {
    auto found = m_data.settings.find(LowerCase(stringName));
    return found == m_data.settings.end() ? "" : found->second.c_str();
}

vgui2::IBorder* CScheme::GetBorder(const char* borderName) {
    std::string key = LowerCase(borderName);
    if (!ResolveBorder(key)) {
        return nullptr;
    }
    auto found = m_borders.find(key);
    return found == m_borders.end() ? nullptr : found->second.get();
}

vgui2::Color CScheme::GetColor(const char* colorName, vgui2::Color defaultColor) {
    std::string key = LowerCase(colorName);
    auto setting = m_data.settings.find(key);
    if (setting != m_data.settings.end()) {
        vgui2::Color color;
        if (ParseColorText(setting->second.c_str(), color)) {
            return color;
        }
        key = LowerCase(setting->second.c_str());
    }
    auto palette = m_data.colors.find(key);
    return palette == m_data.colors.end() ? defaultColor : palette->second;
}

int CScheme::ScreenTall() const {
    int wide = 0;
    int tall = 0;
    m_surface.GetScreenSize(wide, tall);
    return tall;
}

const SchemeFontVariant* CScheme::ChooseVariant(const std::vector<SchemeFontVariant>& variants) const {
    int screenTall = ScreenTall();
    for (const SchemeFontVariant& variant : variants) {
        bool aboveMin = screenTall >= variant.minScreenTall;
        bool belowMax = variant.maxScreenTall == 0 || screenTall <= variant.maxScreenTall;
        if (aboveMin && belowMax) {
            return &variant;
        }
    }
    return variants.empty() ? nullptr : &variants.front();
}

vgui2::HFont CScheme::GetFont(const char* fontName, bool proportional) {
    std::string key = LowerCase(fontName);
    auto variants = m_data.fonts.find(key);
    if (variants == m_data.fonts.end()) {
        return 0;
    }
    FontHandle& font = m_fonts[proportional ? key + "|p" : key];
    if (font.current) {
        return font.usable ? font.handle : 0;
    }
    const SchemeFontVariant* variant = ChooseVariant(variants->second);
    if (!font.handle) {
        font.handle = m_surface.CreateFont();
    }
    int tall = variant->tall;
    int screenTall = ScreenTall();
    if (proportional && screenTall > 0) {
        tall = static_cast<int>(static_cast<long long>(tall) * screenTall / vgui2::kProportionalBaseTall);
    }
    font.current = true;
    font.usable = font.handle && m_surface.SetFontGlyphSet(font.handle, variant->name.c_str(), tall, variant->weight,
                                                           variant->blur, variant->scanlines, variant->flags);
    return font.usable ? font.handle : 0;
}
