#include "modules/updvgui2/SchemeManager.h"

#include "modules/updvgui2/ModuleServices.h"
#include "platform/Text.h"

CSchemeManager::CSchemeManager(vgui2::ISurface& surface, vgui2::IPanel& panels)
    : m_surface(surface), m_panels(panels), m_emptyScheme(surface, panels, "", "") {}

bool CSchemeManager::ReadSchemeFile(const std::string& fileName, std::string& text) const {
    IFileSystem* fileSystem = ModuleFileSystem();
    if (!fileSystem || fileName.empty()) {
        return false;
    }
    FileHandle_t file = fileSystem->Open(fileName.c_str(), "rb", nullptr);
    if (!file) {
        return false;
    }
    text.assign(fileSystem->Size(file), '\0');
    int read = fileSystem->Read(text.data(), static_cast<int>(text.size()), file);
    fileSystem->Close(file);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return true;
}

vgui2::HScheme CSchemeManager::LoadSchemeFromFile(const char* fileName, const char* tag) {
    if (!fileName || !tag || !*tag) {
        return 0;
    }
    std::string text;
    if (!ReadSchemeFile(fileName, text)) {
        return 0;
    }
    vgui2::HScheme existing = GetScheme(tag);
    if (existing) {
        CScheme& scheme = *m_schemes[existing - 1];
        if (!scheme.Load(text.c_str())) {
            return 0;
        }
        scheme.SetFileName(fileName);
        return existing;
    }
    auto scheme = std::make_unique<CScheme>(m_surface, m_panels, tag, fileName);
    if (!scheme->Load(text.c_str())) {
        return 0;
    }
    m_schemes.push_back(std::move(scheme));
    return m_schemes.size();
}

void CSchemeManager::ReloadSchemes() {
    // A scheme whose file has gone or broken keeps what it had.
    for (const std::unique_ptr<CScheme>& scheme : m_schemes) {
        std::string text;
        if (ReadSchemeFile(scheme->FileName(), text)) {
            scheme->Load(text.c_str());
        }
    }
}

vgui2::HScheme CSchemeManager::GetDefaultScheme() { return m_schemes.empty() ? 0 : 1; }

vgui2::HScheme CSchemeManager::GetScheme(const char* tag) {
    if (!tag) {
        return 0;
    }
    for (std::size_t i = 0; i < m_schemes.size(); ++i) {
        if (platform::CompareNoCase(m_schemes[i]->Tag().c_str(), tag) == 0) {
            return i + 1;
        }
    }
    return 0;
}

vgui2::IScheme* CSchemeManager::GetIScheme(vgui2::HScheme scheme) {
    if (scheme >= 1 && scheme <= m_schemes.size()) {
        return m_schemes[scheme - 1].get();
    }
    return &m_emptyScheme;
}

vgui2::IImage* CSchemeManager::GetImage(const char* imageName, bool hardwareFiltered) {
    if (!imageName || !*imageName) {
        return nullptr;
    }
    std::string key = LowerCase(imageName) + (hardwareFiltered ? "|filtered" : "");
    std::unique_ptr<CSchemeImage>& image = m_images[key];
    if (!image) {
        image = std::make_unique<CSchemeImage>(m_surface, imageName, hardwareFiltered);
    }
    return image.get();
}

vgui2::HTexture CSchemeManager::GetImageID(const char* imageName, bool hardwareFiltered) {
    auto* image = static_cast<CSchemeImage*>(GetImage(imageName, hardwareFiltered));
    return image ? image->TextureId() : -1;
}

int CSchemeManager::ScreenTall() const {
    int wide = 0;
    int tall = 0;
    m_surface.GetScreenSize(wide, tall);
    return tall;
}

int CSchemeManager::GetProportionalScaledValue(int normalizedValue) {
    int tall = ScreenTall();
    if (tall <= 0) {
        return normalizedValue;
    }
    return static_cast<int>(static_cast<long long>(normalizedValue) * tall / vgui2::kProportionalBaseTall);
}

int CSchemeManager::GetProportionalNormalizedValue(int scaledValue) {
    int tall = ScreenTall();
    if (tall <= 0) {
        return scaledValue;
    }
    return static_cast<int>(static_cast<long long>(scaledValue) * vgui2::kProportionalBaseTall / tall);
}

vgui2::ISchemeManager& TheSchemeManager() {
    static CSchemeManager instance(TheSurface(), ThePanelService());
    return instance;
}
