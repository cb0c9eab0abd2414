#include "vgui2/Image.h"

#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/Utf16.h"

namespace vgui2 {

void Image::SetPos(int x, int y) {
    m_x = x;
    m_y = y;
}

void Image::GetPos(int& x, int& y) {
    x = m_x;
    y = m_y;
}

void Image::GetContentSize(int& wide, int& tall) { GetSize(wide, tall); }

void Image::GetSize(int& wide, int& tall) {
    wide = m_wide;
    tall = m_tall;
}

void Image::SetSize(int wide, int tall) {
    m_wide = wide;
    m_tall = tall;
}

void Image::SetColor(Color color) { m_color = color; }

Color Image::GetColor() { return m_color; }

void Image::SetFont(HFont font) { m_font = font; }

HFont Image::GetFont() { return m_font; }

void Image::DrawSetTextFont(HFont font) { surface()->DrawSetTextFont(font); }

void Image::DrawSetTextColor(Color color) { surface()->DrawSetTextColor(color); }

void Image::DrawChar(int x, int y, char32_t codePoint) {
    surface()->DrawSetTextPos(m_x + x, m_y + y);
    DrawCodePoint(*surface(), codePoint);
}

}  // namespace vgui2
