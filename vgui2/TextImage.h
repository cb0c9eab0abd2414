// TextImage: a block of wide text in one font and colour, drawn from the
// image's position. Texts beginning with "#" are looked up as localization
// tokens. A single "&" marks the next character as a hotkey and is not
// drawn; "&&" draws one "&". With wrap on, lines break at word starts to fit
// the draw width; without it a one-line text that does not fit ends in
// "...". A surrogate pair is one character throughout. What it leaves out:
// bidirectional text and kerning.
#pragma once

#include <string>
#include <vector>

#include "vgui2/Image.h"
#include "vgui2/Utf16.h"

namespace vgui2 {

class TextImage : public Image {
public:
    explicit TextImage(const char* text);
    explicit TextImage(const wchar* text);

    // A "#" text is looked up as a token; when the token is missing, the
    // text is shown as it stands.
    virtual void SetText(const char* text);
    // Keeps the token the text came from, so that a text rebuilt from
    // dialog variables stays tied to it.
    virtual void SetText(const wchar* text);
    virtual void GetText(wchar* buffer, int bufferBytes);
    virtual void GetText(char* buffer, int bufferBytes);
    const std::u16string& GetWideText() const { return m_text; }
    // "#" and the token name for a token text, else the text itself.
    virtual void GetUnlocalizedText(char* buffer, int bufferBytes);
    bool HasToken() const { return !m_tokenName.empty(); }
    const std::string& GetTokenName() const { return m_tokenName; }

    void SetFont(HFont font) override;
    HFont GetFont() override;
    // Used instead of the font when the text would not fit otherwise.
    void SetUseFallbackFont(bool allowed, HFont fallbackFont);

    void SetWrap(bool state);
    void SetDrawWidth(int width);

    void GetContentSize(int& wide, int& tall) override;
    void SetSize(int wide, int tall) override;
    void Paint() override;

    // Where wrapped lines start, and where "..." replaces the rest (-1 when
    // the whole text is drawn). Both are brought up to date first.
    const std::vector<int>& GetLineBreaks();
    int GetEllipsisPosition();

private:
    HFont CurrentFont();
    int CharWidth(HFont font, char32_t ch);
    void RecalculateIfNeeded();
    void RecalculateLineBreaks();
    int FindEllipsisPosition(HFont font);
    int TextWidthFrom(HFont font, std::size_t start);

    std::u16string m_text;
    std::string m_tokenName;
    HFont m_fallbackFont = 0;
    bool m_allowFallbackFont = false;
    bool m_usingFallbackFont = false;
    int m_drawWidth = 0;
    bool m_recalculate = true;
    bool m_wrap = false;
    std::vector<int> m_lineBreaks;
    int m_ellipsisPosition = -1;
};

// Walks the drawn characters of a text: a single "&" is skipped, "&&"
// yields one "&", a surrogate pair yields one code point. The callback gets
// the index in the text where the character starts and the character.
template <typename Visit>
void ForEachDrawnChar(const std::u16string& text, Visit visit) {
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < size;) {
        if (text[static_cast<std::size_t>(i)] == u'&') {
            if (i + 1 >= size || text[static_cast<std::size_t>(i + 1)] != u'&') {
                ++i;
                continue;
            }
            ++i;
        }
        int length = 0;
        char32_t ch = CodePointAt(text, i, &length);
        if (!visit(static_cast<std::size_t>(i), ch)) {
            return;
        }
        i += length;
    }
}

}  // namespace vgui2
