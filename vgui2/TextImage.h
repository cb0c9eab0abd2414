// TextImage: a block of wide text in one font and colour, drawn from the
// image's position. Texts beginning with "#" are looked up as localization
// tokens. A single "&" marks the next character as a hotkey and is not
// drawn; "&&" draws one "&". With wrap on, lines break at word starts to fit
// the draw width; without it a one-line text that does not fit ends in
// "...". What it leaves out: bidirectional text, kerning and characters
// outside the 16-bit range.
#pragma once

#include <string>
#include <vector>

#include "vgui2/Image.h"

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
    int CharWidth(HFont font, wchar ch);
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
// yields one "&". The callback gets the index in the text and the
// character.
template <typename Visit>
void ForEachDrawnChar(const std::u16string& text, Visit visit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 >= text.size() || text[i + 1] != u'&') {
                continue;
            }
            ++i;
        }
        if (!visit(i, text[i])) {
            return;
        }
    }
}

}  // namespace vgui2
