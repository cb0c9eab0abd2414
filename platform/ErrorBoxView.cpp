#include "platform/ErrorBoxView.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

namespace platform {

namespace {

constexpr int kPadding = 16;
constexpr int kIconSize = 32;
constexpr int kIconGap = 14;
constexpr int kMaxBoxWide = 480;
constexpr int kMinBoxWide = 300;
constexpr int kButtonWide = 88;
constexpr int kButtonTall = 28;
constexpr int kButtonBand = 12;  // the darker strip's margin around the button

// The updater window's palette, so the box looks like part of it.
constexpr SDL_Color kBackground = {60, 63, 66, 255};
constexpr SDL_Color kButtonStrip = {46, 48, 50, 255};
constexpr SDL_Color kTextColour = {221, 221, 221, 255};
constexpr SDL_Color kButtonNormal = {78, 82, 86, 255};
constexpr SDL_Color kButtonHovered = {110, 110, 110, 255};
constexpr SDL_Color kButtonPressed = {72, 72, 72, 255};
constexpr SDL_Color kBorderBright = {120, 124, 128, 255};
constexpr SDL_Color kBorderDark = {30, 31, 32, 255};
constexpr SDL_Color kFocus = {240, 176, 60, 255};
constexpr SDL_Color kIconRed = {204, 44, 44, 255};
constexpr SDL_Color kIconCross = {255, 255, 255, 255};

int TextWidth(TTF_Font* font, const std::string& text) {
    int wide = 0;
    int tall = 0;
    return TTF_SizeUTF8(font, text.c_str(), &wide, &tall) == 0 ? wide : 0;
}

std::size_t NextCodePoint(const std::string& text, std::size_t at) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        ++at;
    }
    return at;
}

// The longest start of word, in whole characters, that fits; at least one
// character, so that splitting always makes progress.
std::size_t FittingPrefix(TTF_Font* font, const std::string& word, int maxWide) {
    std::size_t fit = NextCodePoint(word, 0);
    for (std::size_t end = NextCodePoint(word, fit);
         end <= word.size() && TextWidth(font, word.substr(0, end)) <= maxWide; end = NextCodePoint(word, end)) {
        fit = end;
    }
    return fit;
}

// Greedy wrapping at blanks. Leading blanks indent the paragraph's first
// line, as in a list of reasons; a word wider than a line is split.
void WrapParagraph(TTF_Font* font, const std::string& paragraph, int maxWide, std::vector<std::string>& lines) {
    std::size_t start = paragraph.find_first_not_of(' ');
    if (start == std::string::npos) {
        lines.emplace_back();
        return;
    }
    std::string line = paragraph.substr(0, start);
    bool lineHasWord = false;
    std::istringstream words(paragraph.substr(start));
    for (std::string word; words >> word;) {
        std::string candidate = lineHasWord ? line + " " + word : line + word;
        if (TextWidth(font, candidate) <= maxWide) {
            line = std::move(candidate);
            lineHasWord = true;
            continue;
        }
        if (lineHasWord) {
            lines.push_back(line);
        }
        while (TextWidth(font, word) > maxWide) {
            std::size_t cut = FittingPrefix(font, word, maxWide);
            lines.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        line = word;
        lineHasWord = true;
    }
    lines.push_back(line);
}

std::vector<std::string> WrapText(TTF_Font* font, const char* text, int maxWide) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    for (std::string paragraph; std::getline(paragraphs, paragraph);) {
        paragraph.erase(std::remove(paragraph.begin(), paragraph.end(), '\r'), paragraph.end());
        WrapParagraph(font, paragraph, maxWide, lines);
    }
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

void Fill(SDL_Surface* target, const SDL_Rect& rect, SDL_Color colour) {
    SDL_FillRect(target, &rect, SDL_MapRGB(target->format, colour.r, colour.g, colour.b));
}

// A one-pixel frame: the first colour on the top and left edges, the second
// on the bottom and right, as the toolkit's raised and sunken borders.
void Outline(SDL_Surface* target, const SDL_Rect& rect, SDL_Color topLeft, SDL_Color bottomRight) {
    Fill(target, {rect.x, rect.y, rect.w, 1}, topLeft);
    Fill(target, {rect.x, rect.y, 1, rect.h}, topLeft);
    Fill(target, {rect.x, rect.y + rect.h - 1, rect.w, 1}, bottomRight);
    Fill(target, {rect.x + rect.w - 1, rect.y, 1, rect.h}, bottomRight);
}

SDL_Rect Inset(const SDL_Rect& rect, int by) { return {rect.x + by, rect.y + by, rect.w - 2 * by, rect.h - 2 * by}; }

Uint8 Mix(Uint8 a, Uint8 b, Uint8 c, int countA, int countB, int countC) {
    return static_cast<Uint8>((a * countA + b * countB + c * countC) / (countA + countB + countC));
}

// A red disc with a white diagonal cross, smoothed by sampling each pixel
// on a 4x4 grid.
void PaintIcon(SDL_Surface* target, const SDL_Rect& icon) {
    constexpr int kSamples = 4;
    const double centre = icon.w / 2.0;
    const double radius = centre - 0.5;
    const double arm = radius * 0.46;
    const double halfStroke = radius * 0.13;
    for (int y = 0; y < icon.h; ++y) {
        for (int x = 0; x < icon.w; ++x) {
            int outside = 0;
            int red = 0;
            int cross = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    double dx = x + (sx + 0.5) / kSamples - centre;
                    double dy = y + (sy + 0.5) / kSamples - centre;
                    if (dx * dx + dy * dy > radius * radius) {
                        ++outside;
                        continue;
                    }
                    // Distances across and along the two diagonals.
                    double across1 = std::abs(dx - dy) / std::sqrt(2.0);
                    double along1 = std::abs(dx + dy) / std::sqrt(2.0);
                    bool onCross = (across1 <= halfStroke && along1 <= arm) || (along1 <= halfStroke && across1 <= arm);
                    ++(onCross ? cross : red);
                }
            }
            SDL_Color colour = {Mix(kBackground.r, kIconRed.r, kIconCross.r, outside, red, cross),
                                Mix(kBackground.g, kIconRed.g, kIconCross.g, outside, red, cross),
                                Mix(kBackground.b, kIconRed.b, kIconCross.b, outside, red, cross), 255};
            Fill(target, {icon.x + x, icon.y + y, 1, 1}, colour);
        }
    }
}

}  // namespace

ErrorBoxView::ErrorBoxView(TTF_Font* font, const char* text) : m_font(font), m_lineSkip(TTF_FontLineSkip(font)) {
    const int textLeft = kPadding + kIconSize + kIconGap;
    m_lines = WrapText(font, text, kMaxBoxWide - textLeft - kPadding);
    int textWide = 0;
    for (const std::string& line : m_lines) {
        textWide = std::max(textWide, TextWidth(font, line));
    }
    const int textTall = static_cast<int>(m_lines.size()) * m_lineSkip;
    const int bodyTall = std::max(kIconSize, textTall);

    m_wide = std::max(kMinBoxWide, textLeft + textWide + kPadding);
    m_icon = {kPadding, kPadding, kIconSize, kIconSize};
    // A short text sits level with the icon's middle.
    m_text = {textLeft, kPadding + std::max(0, (kIconSize - textTall) / 2), textWide, textTall};
    m_button = {m_wide - kPadding - kButtonWide, kPadding + bodyTall + kPadding + kButtonBand, kButtonWide,
                kButtonTall};
    m_tall = m_button.y + kButtonTall + kButtonBand;
}

bool ErrorBoxView::InButton(int x, int y) const {
    SDL_Point point = {x, y};
    return SDL_PointInRect(&point, &m_button) == SDL_TRUE;
}

bool ErrorBoxView::Paint(SDL_Surface* target, ErrorBoxButtonState button) const {
    Fill(target, {0, 0, m_wide, m_tall}, kBackground);
    int stripTop = m_button.y - kButtonBand;
    Fill(target, {0, stripTop, m_wide, m_tall - stripTop}, kButtonStrip);
    Fill(target, {0, stripTop, m_wide, 1}, kBorderDark);
    // Raised like the toolkit's frames, so the box stands out over a window
    // of the same colour.
    Outline(target, {0, 0, m_wide, m_tall}, kBorderBright, kBorderDark);
    PaintIcon(target, m_icon);
    bool painted = true;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        painted &= PaintText(target, m_lines[i], m_text.x, m_text.y + static_cast<int>(i) * m_lineSkip);
    }
    PaintButton(target, button);
    return painted;
}

bool ErrorBoxView::PaintText(SDL_Surface* target, const std::string& text, int x, int y) const {
    if (text.empty()) {
        return true;
    }
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rendered(
        TTF_RenderUTF8_Blended(m_font, text.c_str(), kTextColour), &SDL_FreeSurface);
    if (!rendered) {
        return false;
    }
    SDL_Rect at = {x, y, rendered->w, rendered->h};
    return SDL_BlitSurface(rendered.get(), nullptr, target, &at) == 0;
}

// The only button is the default one, so it always wears the focus ring.
void ErrorBoxView::PaintButton(SDL_Surface* target, ErrorBoxButtonState state) const {
    bool pressed = state == ErrorBoxButtonState::Pressed;
    SDL_Color face = pressed ? kButtonPressed : state == ErrorBoxButtonState::Hovered ? kButtonHovered : kButtonNormal;
    Outline(target, m_button, kFocus, kFocus);
    SDL_Rect border = Inset(m_button, 1);
    Outline(target, border, pressed ? kBorderDark : kBorderBright, pressed ? kBorderBright : kBorderDark);
    Fill(target, Inset(border, 1), face);

    int labelWide = 0;
    int labelTall = 0;
    TTF_SizeUTF8(m_font, "OK", &labelWide, &labelTall);
    int shift = pressed ? 1 : 0;
    PaintText(target, "OK", m_button.x + (m_button.w - labelWide) / 2 + shift,
              m_button.y + (m_button.h - labelTall) / 2 + shift);
}

}  // namespace platform
