// A scheme image: a picture file drawn through a surface texture, tinted by
// its colour (white shows it unchanged), at its natural size unless a size
// is set. The file is read on first use, when the surface can make textures;
// a file that does not load draws nothing and has size 0 by 0.
#pragma once

#include <string>

#include "services/IScheme.h"
#include "services/ISurface.h"

class CSchemeImage final : public vgui2::IImage {
public:
    CSchemeImage(vgui2::ISurface& surface, const char* fileName, bool hardwareFiltered);

    void Paint() override;
    void SetPos(int x, int y) override;
    void GetContentSize(int& wide, int& tall) override;
    void GetSize(int& wide, int& tall) override;
    void SetSize(int wide, int tall) override;
    void SetColor(vgui2::Color color) override;

    // The surface texture, or -1 when the file does not load.
    vgui2::HTexture TextureId();

private:
    vgui2::ISurface& m_surface;
    std::string m_fileName;
    bool m_hardwareFiltered;
    bool m_loadTried = false;
    vgui2::HTexture m_texture = -1;
    int m_x = 0;
    int m_y = 0;
    int m_wide = 0;
    int m_tall = 0;
    bool m_sizeSet = false;
    vgui2::Color m_color{255, 255, 255, 255};
};
