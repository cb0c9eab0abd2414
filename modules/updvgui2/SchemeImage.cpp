#include "modules/updvgui2/SchemeImage.h"

CSchemeImage::CSchemeImage(vgui2::ISurface& surface, const char* fileName, bool hardwareFiltered)
    : m_surface(surface), m_fileName(fileName ? fileName : ""), m_hardwareFiltered(hardwareFiltered) {}

vgui2::HTexture CSchemeImage::TextureId() {
    if (!m_loadTried) {
        m_loadTried = true;
        vgui2::HTexture id = m_surface.CreateNewTextureID(false);
        if (m_surface.DrawSetTextureFile(id, m_fileName.c_str(), m_hardwareFiltered, false)) {
            m_texture = id;
        }
    }
    return m_texture;
}

void CSchemeImage::Paint() {
    vgui2::HTexture texture = TextureId();
    if (texture < 0) {
        return;
    }
    int wide = 0;
    int tall = 0;
    GetSize(wide, tall);
    m_surface.DrawSetColor(m_color);
    m_surface.DrawSetTexture(texture);
    m_surface.DrawTexturedRect(m_x, m_y, m_x + wide, m_y + tall);
}

void CSchemeImage::SetPos(int x, int y) {
    m_x = x;
    m_y = y;
}

void CSchemeImage::GetContentSize(int& wide, int& tall) {
    wide = 0;
    tall = 0;
    vgui2::HTexture texture = TextureId();
    if (texture >= 0) {
        m_surface.DrawGetTextureSize(texture, wide, tall);
    }
}

void CSchemeImage::GetSize(int& wide, int& tall) {
    if (m_sizeSet) {
        wide = m_wide;
        tall = m_tall;
        return;
    }
    GetContentSize(wide, tall);
}

void CSchemeImage::SetSize(int wide, int tall) {
    m_wide = wide;
    m_tall = tall;
    m_sizeSet = true;
}

void CSchemeImage::SetColor(vgui2::Color color) { m_color = color; }
