#include "modules/updvgui2/TextureStore.h"

#include <SDL2/SDL_image.h>

#include <cstdio>
#include <cstring>

#include "modules/updvgui2/ModuleServices.h"
#include "platform/Platform.h"

using vgui2::HTexture;

namespace {

bool HasExtension(const std::string& name) {
    std::size_t slash = name.find_last_of("/\\");
    std::size_t dot = name.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

bool ReadDataFile(const std::string& fileName, std::vector<unsigned char>& contents) {
    contents.clear();
    IFileSystem* fileSystem = ModuleFileSystem();
    if (fileSystem) {
        FileHandle_t file = fileSystem->Open(fileName.c_str(), "rb");
        if (!file) {
            return false;
        }
        contents.resize(fileSystem->Size(file));
        int read = contents.empty() ? 0 : fileSystem->Read(contents.data(), static_cast<int>(contents.size()), file);
        fileSystem->Close(file);
        return read == static_cast<int>(contents.size());
    }
    std::FILE* file = platform::OpenFile(fileName.c_str(), "rb");
    if (!file) {
        return false;
    }
    unsigned char block[16384];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof(block), file)) > 0) {
        contents.insert(contents.end(), block, block + count);
    }
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

CTextureStore::~CTextureStore() { Clear(); }

void CTextureStore::Clear() {
    for (Entry& entry : m_entries) {
        SDL_FreeSurface(entry.pixels);
    }
    m_entries.clear();
}

HTexture CTextureStore::CreateNewTextureID() {
    m_entries.emplace_back();
    return static_cast<HTexture>(m_entries.size());
}

CTextureStore::Entry* CTextureStore::Lookup(HTexture id) {
    return (id >= 1 && static_cast<std::size_t>(id) <= m_entries.size()) ? &m_entries[id - 1] : nullptr;
}

const CTextureStore::Entry* CTextureStore::Lookup(HTexture id) const {
    return (id >= 1 && static_cast<std::size_t>(id) <= m_entries.size()) ? &m_entries[id - 1] : nullptr;
}

bool CTextureStore::IsValid(HTexture id) const { return Lookup(id) != nullptr; }

void CTextureStore::Replace(Entry& entry, SDL_Surface* pixels) {
    SDL_FreeSurface(entry.pixels);
    entry.pixels = pixels;
    ++entry.version;
}

bool CTextureStore::SetTextureFile(HTexture id, const char* fileName, bool forceReload) {
    Entry* entry = Lookup(id);
    if (!entry || !fileName || !*fileName) {
        return false;
    }
    std::string name = fileName;
    if (!HasExtension(name)) {
        name += ".png";
    }
    if (!forceReload && entry->pixels && entry->fileName == name) {
        return true;
    }
    std::vector<unsigned char> contents;
    if (!ReadDataFile(name, contents) || contents.empty()) {
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(contents.data(), static_cast<int>(contents.size()));
    SDL_Surface* decoded = stream ? IMG_Load_RW(stream, 1) : nullptr;
    if (!decoded) {
        std::fprintf(stderr, "updvgui2: cannot read image %s: %s\n", name.c_str(), IMG_GetError());
        return false;
    }
    SDL_Surface* pixels = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(decoded);
    if (!pixels) {
        return false;
    }
    entry->fileName = name;
    Replace(*entry, pixels);
    return true;
}

void CTextureStore::SetTextureRGBA(HTexture id, const unsigned char* rgba, int wide, int tall) {
    Entry* entry = Lookup(id);
    if (!entry || !rgba || wide <= 0 || tall <= 0) {
        return;
    }
    SDL_Surface* pixels = SDL_CreateRGBSurfaceWithFormat(0, wide, tall, 32, SDL_PIXELFORMAT_RGBA32);
    if (!pixels) {
        return;
    }
    for (int y = 0; y < tall; ++y) {
        std::memcpy(static_cast<unsigned char*>(pixels->pixels) + y * pixels->pitch, rgba + y * wide * 4,
                    static_cast<std::size_t>(wide) * 4);
    }
    entry->fileName.clear();
    Replace(*entry, pixels);
}

void CTextureStore::GetTextureSize(HTexture id, int& wide, int& tall) const {
    const Entry* entry = Lookup(id);
    wide = entry && entry->pixels ? entry->pixels->w : 0;
    tall = entry && entry->pixels ? entry->pixels->h : 0;
}

SDL_Surface* CTextureStore::Pixels(HTexture id) const {
    const Entry* entry = Lookup(id);
    return entry ? entry->pixels : nullptr;
}

unsigned CTextureStore::Version(HTexture id) const {
    const Entry* entry = Lookup(id);
    return entry ? entry->version : 0;
}
