#include "modules/updvgui2/SurfacePainter.h"

#include <algorithm>

#include "modules/updvgui2/FontManager.h"
#include "modules/updvgui2/PopupWindow.h"
#include "modules/updvgui2/TextureStore.h"

using vgui2::Color;

namespace {

enum class Direction { Left, Right, Up, Down };

// A solid triangle pointing in the direction, inside the square (x, y, size).
void FillArrow(SDL_Renderer* renderer, Direction direction, int x, int y, int size) {
    int half = std::max(2, size * 3 / 8);
    int centreX = x + size / 2;
    int centreY = y + size / 2;
    for (int step = 0; step < half; ++step) {
        int reach = half - 1 - step;  // the tip has reach 0
        switch (direction) {
            case Direction::Right:
                SDL_RenderDrawLine(renderer, centreX - half / 2 + step, centreY - reach, centreX - half / 2 + step,
                                   centreY + reach);
                break;
            case Direction::Left:
                SDL_RenderDrawLine(renderer, centreX + half / 2 - step, centreY - reach, centreX + half / 2 - step,
                                   centreY + reach);
                break;
            case Direction::Down:
                SDL_RenderDrawLine(renderer, centreX - reach, centreY - half / 2 + step, centreX + reach,
                                   centreY - half / 2 + step);
                break;
            case Direction::Up:
                SDL_RenderDrawLine(renderer, centreX - reach, centreY + half / 2 - step, centreX + reach,
                                   centreY + half / 2 - step);
                break;
        }
    }
}

void FillBox(SDL_Renderer* renderer, int x0, int y0, int x1, int y1) {
    SDL_Rect rect{x0, y0, x1 - x0, y1 - y0};
    if (rect.w > 0 && rect.h > 0) {
        SDL_RenderFillRect(renderer, &rect);
    }
}

}  // namespace

CSurfacePainter::CSurfacePainter(CFontManager& fonts, CTextureStore& textures) : m_fonts(fonts), m_textures(textures) {}

void CSurfacePainter::PushContext(CPopupWindow* window, int originX, int originY, const SDL_Rect& clip) {
    m_contexts.push_back({window, originX, originY, clip});
    ApplyTop();
}

void CSurfacePainter::PopContext() {
    if (!m_contexts.empty()) {
        m_contexts.pop_back();
    }
    ApplyTop();
}

void CSurfacePainter::Reset() { m_contexts.clear(); }

void CSurfacePainter::ApplyTop() {
    if (m_contexts.empty() || !m_contexts.back().window) {
        return;
    }
    const Context& top = m_contexts.back();
    if (top.clip.w > 0 && top.clip.h > 0) {
        SDL_RenderSetClipRect(top.window->Renderer(), &top.clip);
    }
}

SDL_Renderer* CSurfacePainter::Begin(Color color) {
    if (m_contexts.empty() || !m_contexts.back().window) {
        return nullptr;
    }
    const Context& top = m_contexts.back();
    // An empty clip rectangle must draw nothing; SDL would take it as none.
    if (top.clip.w <= 0 || top.clip.h <= 0) {
        return nullptr;
    }
    SDL_Renderer* renderer = top.window->Renderer();
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, color.a);
    return renderer;
}

void CSurfacePainter::FilledRect(int x0, int y0, int x1, int y1) {
    SDL_Renderer* renderer = Begin(m_color);
    if (!renderer) {
        return;
    }
    const Context& top = m_contexts.back();
    FillBox(renderer, top.originX + x0, top.originY + y0, top.originX + x1, top.originY + y1);
}

void CSurfacePainter::OutlinedRect(int x0, int y0, int x1, int y1) {
    SDL_Renderer* renderer = Begin(m_color);
    if (!renderer || x1 <= x0 || y1 <= y0) {
        return;
    }
    const Context& top = m_contexts.back();
    SDL_Rect rect{top.originX + x0, top.originY + y0, x1 - x0, y1 - y0};
    SDL_RenderDrawRect(renderer, &rect);
}

void CSurfacePainter::Line(int x0, int y0, int x1, int y1) {
    SDL_Renderer* renderer = Begin(m_color);
    if (!renderer) {
        return;
    }
    const Context& top = m_contexts.back();
    SDL_RenderDrawLine(renderer, top.originX + x0, top.originY + y0, top.originX + x1, top.originY + y1);
}

void CSurfacePainter::PolyLine(const int* px, const int* py, int count) {
    if (!px || !py) {
        return;
    }
    for (int i = 1; i < count; ++i) {
        Line(px[i - 1], py[i - 1], px[i], py[i]);
    }
}

void CSurfacePainter::SetTextPos(int x, int y) {
    m_textX = x;
    m_textY = y;
}

void CSurfacePainter::GetTextPos(int& x, int& y) const {
    x = m_textX;
    y = m_textY;
}

void CSurfacePainter::PrintText(const vgui2::wchar* text, int length) {
    if (!text || length <= 0) {
        return;
    }
    const vgui2::wchar* end = text + length;
    for (const vgui2::wchar* p = text; p < end;) {
        UnicodeChar(NextCodePoint(p, end));
    }
}

void CSurfacePainter::UnicodeChar(char32_t ch) {
    const FontGlyph* glyph = m_fonts.GetGlyph(m_textFont, ch);
    if (!glyph) {
        return;
    }
    // Text ignores the colour's alpha, as the text drawing the toolkit was
    // designed on did: schemes and controls hand over colours whose alpha was
    // never set (the changelog's green is one) and still expect to see text.
    Color opaque{m_textColor.r, m_textColor.g, m_textColor.b, 255};
    SDL_Renderer* renderer = Begin(opaque);
    if (renderer) {
        const Context& top = m_contexts.back();
        int x = top.originX + m_textX;
        int y = top.originY + m_textY;
        if (m_fonts.IsSymbolFont(m_textFont)) {
            DrawSymbol(renderer, ch, x, y, glyph->advance);
        } else if (SDL_Texture* texture = top.window->GlyphTexture(m_fonts, m_textFont, ch, *glyph)) {
            SDL_SetTextureColorMod(texture, opaque.r, opaque.g, opaque.b);
            SDL_Rect target{x + glyph->drawOffsetX, y, glyph->coverage->w, glyph->coverage->h};
            SDL_RenderCopy(renderer, texture, nullptr, &target);
        }
    }
    m_textX += glyph->advance;
}

void CSurfacePainter::TexturedRect(int x0, int y0, int x1, int y1) {
    SDL_Renderer* renderer = Begin(m_color);
    if (!renderer || x1 <= x0 || y1 <= y0) {
        return;
    }
    const Context& top = m_contexts.back();
    SDL_Texture* texture = top.window->ImageTexture(m_textures, m_texture);
    if (!texture) {
        return;
    }
    // The draw colour tints the image, so images can be dimmed or recoloured.
    SDL_SetTextureColorMod(texture, m_color.r, m_color.g, m_color.b);
    SDL_SetTextureAlphaMod(texture, m_color.a);
    SDL_Rect target{top.originX + x0, top.originY + y0, x1 - x0, y1 - y0};
    SDL_RenderCopy(renderer, texture, nullptr, &target);
}

void CSurfacePainter::DrawSymbol(SDL_Renderer* renderer, char32_t ch, int x, int y, int size) {
    int pad = std::max(1, size / 5);
    switch (ch) {
        case U'3':
            FillArrow(renderer, Direction::Left, x, y, size);
            break;
        case U'4':
        case U'8':
            FillArrow(renderer, Direction::Right, x, y, size);
            break;
        case U'5':
        case U't':
            FillArrow(renderer, Direction::Up, x, y, size);
            break;
        case U'6':
        case U'u':
            FillArrow(renderer, Direction::Down, x, y, size);
            break;
        case U'g':  // the check box ground
            FillBox(renderer, x + pad, y + pad, x + size - pad, y + size - pad);
            break;
        case U'a':
        case U'b': {  // the tick, two strokes two pixels thick
            int left = x + pad + 1;
            int right = x + size - pad - 1;
            int bottom = y + size - pad - 2;
            int middle = left + (right - left) / 3;
            for (int thick = 0; thick < 2; ++thick) {
                SDL_RenderDrawLine(renderer, left, bottom - (middle - left) + thick, middle, bottom + thick);
                SDL_RenderDrawLine(renderer, middle, bottom + thick, right, y + pad + 1 + thick);
            }
            break;
        }
        case U'r':  // close
            for (int thick = 0; thick < 2; ++thick) {
                int left = x + pad + thick;
                int right = x + size - pad - 2 + thick;
                SDL_RenderDrawLine(renderer, left, y + pad, right, y + size - pad - 1);
                SDL_RenderDrawLine(renderer, right, y + pad, left, y + size - pad - 1);
            }
            break;
        case U'0':  // minimize
            FillBox(renderer, x + pad, y + size - pad - 2, x + size - pad, y + size - pad);
            break;
        case U'1': {  // maximize
            SDL_Rect frame{x + pad, y + pad, size - 2 * pad, size - 2 * pad};
            SDL_RenderDrawRect(renderer, &frame);
            FillBox(renderer, frame.x, frame.y, frame.x + frame.w, frame.y + 2);
            break;
        }
        case U'2': {  // restore
            int inner = (size - 2 * pad) * 2 / 3;
            SDL_Rect back{x + size - pad - inner, y + pad, inner, inner};
            SDL_Rect front{x + pad, y + size - pad - inner, inner, inner};
            SDL_RenderDrawRect(renderer, &back);
            FillBox(renderer, front.x, front.y, front.x + front.w, front.y + 2);
            SDL_RenderDrawRect(renderer, &front);
            break;
        }
        default:
            break;
    }
}
