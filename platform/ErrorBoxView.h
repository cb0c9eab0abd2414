// What the platform's own error box shows: the error icon, the message
// wrapped to the box's width and an OK button, laid out once for a font and
// painted into a surface of the box's size. It knows nothing of windows or
// events; the box around it (OwnErrorBox) does.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

namespace platform {

enum class ErrorBoxButtonState { Normal, Hovered, Pressed };

class ErrorBoxView {
public:
    ErrorBoxView(TTF_Font* font, const char* text);

    int Wide() const { return m_wide; }
    int Tall() const { return m_tall; }
    bool InButton(int x, int y) const;

    // False when SDL_ttf cannot render a line; the surface is then partly painted.
    bool Paint(SDL_Surface* target, ErrorBoxButtonState button) const;

private:
    bool PaintText(SDL_Surface* target, const std::string& text, int x, int y) const;
    void PaintButton(SDL_Surface* target, ErrorBoxButtonState state) const;

    TTF_Font* m_font;
    std::vector<std::string> m_lines;
    int m_lineSkip = 0;
    SDL_Rect m_icon{};
    SDL_Rect m_text{};
    SDL_Rect m_button{};
    int m_wide = 0;
    int m_tall = 0;
};

}  // namespace platform
