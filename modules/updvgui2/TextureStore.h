// The surface's texture ids and the images behind them. Images are decoded
// once (PNG through SDL_image, or raw RGBA handed in) into surfaces that any
// window can turn into its own renderer texture; a version number tells
// those windows when an id's pixels changed. Files are read through the
// module's file-system service, so "resource/icon_close" is found along
// the search paths like every other data file.
#pragma once

#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "services/VGuiTypes.h"

class CTextureStore {
public:
    CTextureStore() = default;
    ~CTextureStore();
    CTextureStore(const CTextureStore&) = delete;
    CTextureStore& operator=(const CTextureStore&) = delete;

    vgui2::HTexture CreateNewTextureID();
    bool IsValid(vgui2::HTexture id) const;
    // The name may omit ".png". A file already loaded is kept unless forced.
    bool SetTextureFile(vgui2::HTexture id, const char* fileName, bool forceReload);
    void SetTextureRGBA(vgui2::HTexture id, const unsigned char* rgba, int wide, int tall);
    void GetTextureSize(vgui2::HTexture id, int& wide, int& tall) const;

    // Null when the id has no pixels yet.
    SDL_Surface* Pixels(vgui2::HTexture id) const;
    unsigned Version(vgui2::HTexture id) const;

    void Clear();

private:
    struct Entry {
        std::string fileName;
        SDL_Surface* pixels = nullptr;
        unsigned version = 0;
    };
    Entry* Lookup(vgui2::HTexture id);
    const Entry* Lookup(vgui2::HTexture id) const;
    void Replace(Entry& entry, SDL_Surface* pixels);

    std::vector<Entry> m_entries;
};

// Reads a whole data file, through the module's file system when it is
// connected and from the current directory otherwise.
bool ReadDataFile(const std::string& fileName, std::vector<unsigned char>& contents);
