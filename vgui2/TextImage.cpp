#include "vgui2/TextImage.h"

#include <algorithm>
#include <cstdio>

#include "services/ILocalize.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/TextConvert.h"

namespace vgui2 {

namespace {

// Narrow texts are converted through a buffer of this many bytes.
constexpr int kConvertBufferBytes = 2048;

bool IsSpace(char32_t ch) { return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n'; }

}  // namespace

TextImage::TextImage(const char* text) { SetText(text); }

TextImage::TextImage(const wchar* text) { SetText(text); }

void TextImage::SetText(const char* text) {
    if (!text) {
        text = "";
    }
    if (text[0] == '#') {
        if (const wchar* found = localize() ? localize()->Find(text + 1) : nullptr) {
            m_tokenName = text + 1;
            SetText(found);
            return;
        }
    }
    // A literal text is no longer tied to the token shown before it, so a
    // later dialog-variables update cannot bring the old token back.
    m_tokenName.clear();
    wchar converted[kConvertBufferBytes / sizeof(wchar)];
    if (localize()) {
        localize()->ConvertANSIToUnicode(text, converted, kConvertBufferBytes);
    } else {
        Utf8ToWide(text, converted, kConvertBufferBytes);
    }
    SetText(converted);
}

void TextImage::SetText(const wchar* text) {
    m_text = text ? text : u"";
    m_lineBreaks.clear();
    m_recalculate = true;
}

void TextImage::GetText(wchar* buffer, int bufferBytes) {
    if (!buffer || bufferBytes < static_cast<int>(sizeof(wchar))) {
        return;
    }
    int capacity = bufferBytes / static_cast<int>(sizeof(wchar)) - 1;
    auto count = static_cast<std::size_t>(WholeCodePointPrefix(m_text, capacity));
    std::copy_n(m_text.begin(), count, buffer);
    buffer[count] = 0;
}

void TextImage::GetText(char* buffer, int bufferBytes) { WideToUtf8(m_text.c_str(), buffer, bufferBytes); }

void TextImage::GetUnlocalizedText(char* buffer, int bufferBytes) {
    if (!buffer || bufferBytes <= 0) {
        return;
    }
    if (HasToken()) {
        std::snprintf(buffer, static_cast<std::size_t>(bufferBytes), "#%s", m_tokenName.c_str());
    } else {
        GetText(buffer, bufferBytes);
    }
}

void TextImage::SetFont(HFont font) {
    Image::SetFont(font);
    m_recalculate = true;
}

HFont TextImage::GetFont() { return CurrentFont(); }

HFont TextImage::CurrentFont() { return m_usingFallbackFont ? m_fallbackFont : Image::GetFont(); }

void TextImage::SetUseFallbackFont(bool allowed, HFont fallbackFont) {
    m_allowFallbackFont = allowed;
    m_fallbackFont = fallbackFont;
    m_recalculate = true;
}

void TextImage::SetWrap(bool state) {
    m_wrap = state;
    m_recalculate = true;
}

void TextImage::SetDrawWidth(int width) {
    m_drawWidth = width;
    m_recalculate = true;
}

void TextImage::SetSize(int wide, int tall) {
    Image::SetSize(wide, tall);
    SetDrawWidth(wide);
}

int TextImage::CharWidth(HFont font, char32_t ch) {
    int a = 0, b = 0, c = 0;
    surface()->GetCharABCwide(font, static_cast<int>(ch), a, b, c);
    return a + b + c;
}

int TextImage::TextWidthFrom(HFont font, std::size_t start) {
    int width = 0;
    ForEachDrawnChar(m_text, [&](std::size_t i, char32_t ch) {
        if (i >= start && ch != u'\r') {
            width += CharWidth(font, ch);
        }
        return true;
    });
    return width;
}

const std::vector<int>& TextImage::GetLineBreaks() {
    RecalculateIfNeeded();
    return m_lineBreaks;
}

int TextImage::GetEllipsisPosition() {
    RecalculateIfNeeded();
    return m_ellipsisPosition;
}

void TextImage::RecalculateLineBreaks() {
    m_lineBreaks.clear();
    if (!m_wrap) {
        return;
    }
    HFont font = Image::GetFont();
    int x = 0;
    int lineStart = 0;
    int wordStart = 0;
    int wordX = 0;
    bool previousSpace = false;
    ForEachDrawnChar(m_text, [&](std::size_t index, char32_t ch) {
        int i = static_cast<int>(index);
        if (ch == u'\r' || ch == u'\n') {
            x = 0;
            wordX = 0;
            lineStart = wordStart = i + 1;
            previousSpace = false;
            return true;
        }
        bool space = IsSpace(ch);
        if (!space && previousSpace) {
            wordStart = i;
            wordX = x;
        }
        previousSpace = space;
        int width = CharWidth(font, ch);
        // Blanks may hang past the edge; a visible character may not.
        if (!space && x > 0 && x + width > m_drawWidth) {
            if (wordStart > lineStart) {
                m_lineBreaks.push_back(wordStart);
                lineStart = wordStart;
                x -= wordX;
            } else {
                m_lineBreaks.push_back(i);
                lineStart = wordStart = i;
                x = 0;
            }
            wordX = 0;
        }
        x += width;
        return true;
    });
}

void TextImage::GetContentSize(int& wide, int& tall) {
    RecalculateIfNeeded();
    HFont font = CurrentFont();
    int lineWidth = 0;
    int lines = 1;
    wide = 0;
    std::size_t nextBreak = 0;
    ForEachDrawnChar(m_text, [&](std::size_t i, char32_t ch) {
        if (nextBreak < m_lineBreaks.size() && static_cast<int>(i) == m_lineBreaks[nextBreak]) {
            ++nextBreak;
            ++lines;
            wide = std::max(wide, lineWidth);
            lineWidth = 0;
        }
        if (ch == u'\n') {
            ++lines;
            wide = std::max(wide, lineWidth);
            lineWidth = 0;
        } else if (ch != u'\r') {
            lineWidth += CharWidth(font, ch);
        }
        return true;
    });
    wide = std::max(wide, lineWidth);
    tall = surface()->GetFontTall(font) * lines;
}

int TextImage::FindEllipsisPosition(HFont font) {
    if (m_wrap || m_text.find(u'\n') != std::u16string::npos) {
        return -1;
    }
    int drawWidth = m_drawWidth > 0 ? m_drawWidth : TextWidthFrom(font, 0);
    int ellipsisWidth = 3 * CharWidth(font, u'.');
    int x = 0;
    bool first = true;
    int position = -1;
    ForEachDrawnChar(m_text, [&](std::size_t i, char32_t ch) {
        if (ch == u'\r') {
            return true;
        }
        int width = CharWidth(font, ch);
        if (!first && x + width + ellipsisWidth > drawWidth && x + TextWidthFrom(font, i) > drawWidth) {
            position = static_cast<int>(i);
            return false;
        }
        first = false;
        x += width;
        return true;
    });
    return position;
}

void TextImage::RecalculateIfNeeded() {
    if (!m_recalculate) {
        return;
    }
    m_recalculate = false;
    RecalculateLineBreaks();
    m_usingFallbackFont = false;
    m_ellipsisPosition = FindEllipsisPosition(Image::GetFont());
    // A smaller fallback font may show the text whole, or at least more of
    // it.
    if (m_ellipsisPosition >= 0 && m_allowFallbackFont && m_fallbackFont) {
        m_usingFallbackFont = true;
        m_ellipsisPosition = FindEllipsisPosition(m_fallbackFont);
    }
}

void TextImage::Paint() {
    RecalculateIfNeeded();
    HFont font = CurrentFont();
    int lineTall = surface()->GetFontTall(font);
    DrawSetTextColor(GetColor());
    DrawSetTextFont(font);
    int x = 0;
    int y = 0;
    std::size_t nextBreak = 0;
    ForEachDrawnChar(m_text, [&](std::size_t i, char32_t ch) {
        if (m_ellipsisPosition >= 0 && static_cast<int>(i) == m_ellipsisPosition) {
            for (int dot = 0; dot < 3; ++dot) {
                DrawChar(x, y, u'.');
                x += CharWidth(font, u'.');
            }
            return false;
        }
        if (nextBreak < m_lineBreaks.size() && static_cast<int>(i) == m_lineBreaks[nextBreak]) {
            ++nextBreak;
            x = 0;
            y += lineTall;
        }
        if (ch == u'\r') {
            return true;
        }
        if (ch == u'\n') {
            x = 0;
            y += lineTall;
            return true;
        }
        DrawChar(x, y, ch);
        x += CharWidth(font, ch);
        return true;
    });
    surface()->DrawFlushText();
}

}  // namespace vgui2
