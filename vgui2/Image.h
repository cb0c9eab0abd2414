// Image: the toolkit's base for things a control draws at a position inside
// itself (texts, icons). It keeps position, size, colour and font and gives
// its subclasses drawing calls relative to that position. It leaves out
// textures; scheme images come from the scheme service.
#pragma once

#include "services/IScheme.h"
#include "services/VGuiTypes.h"

namespace vgui2 {

class Image : public IImage {
public:
    Image() = default;
    virtual ~Image() = default;

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    void Paint() override = 0;
    void SetPos(int x, int y) override;
    virtual void GetPos(int& x, int& y);
    void GetContentSize(int& wide, int& tall) override;
    void GetSize(int& wide, int& tall) override;
    void SetSize(int wide, int tall) override;
    void SetColor(Color color) override;
    virtual Color GetColor();
    virtual void SetFont(HFont font);
    virtual HFont GetFont();

protected:
    void DrawSetTextFont(HFont font);
    void DrawSetTextColor(Color color);
    // Draws one character (a code point, so a surrogate pair is one) with
    // its top-left corner at (x, y) from the image's position.
    void DrawChar(int x, int y, char32_t codePoint);

private:
    int m_x = 0;
    int m_y = 0;
    int m_wide = 0;
    int m_tall = 0;
    Color m_color{255, 255, 255, 255};
    HFont m_font = 0;
};

}  // namespace vgui2
