// TextEntry: an editable (or read-only) field of wide text, one line or
// several. It keeps a cursor and a selection, takes typing, Backspace and
// Delete, Home and End, arrow keys (with Shift to select, Ctrl by words),
// Ctrl+A/C/X/V, the clipboard through the system service, and a right-click
// edit menu with Cut, Copy and Paste. Edits typed by the user are reported
// as "TextChanged" (without the text). A one-line field scrolls sideways to
// keep the cursor in view; several lines wrap at word starts. What it
// leaves out: undo, vertical scroll bars, and input methods beyond
// characters arriving one by one.
#pragma once

#include <string>
#include <vector>

#include "vgui2/Panel.h"

namespace vgui2 {

class Menu;

class TextEntry : public Panel {
    VGUI2_PANEL_CLASS(TextEntry, Panel);

public:
    TextEntry(Panel* parent, const char* panelName);
    ~TextEntry() override;

    virtual void SetText(const wchar* text);
    virtual void SetText(const char* text);
    // Buffer sizes in bytes; the result is always terminated.
    virtual void GetText(wchar* buffer, int bufferBytes);
    virtual void GetText(char* buffer, int bufferBytes);
    const std::u16string& GetWideText() const { return m_text; }
    int GetTextLength() const { return static_cast<int>(m_text.size()); }

    virtual void SetEditable(bool state);
    virtual bool IsEditable();
    virtual void SetMultiline(bool state);
    bool IsMultiline() const { return m_multiline; }
    virtual void SetTextHidden(bool state);
    virtual void SetMaximumCharCount(int maxChars);
    virtual void SetAllowNumericInputOnly(bool state);
    virtual void SetAllowNonAsciiCharacters(bool state);
    virtual void SetSelectAllOnFirstFocus(bool state);
    virtual void SetFont(HFont font);
    HFont GetFont() const { return m_font; }

    virtual void SelectAllText(bool resetCursorPos);
    virtual void SelectNone();
    // Positions count 16-bit units but never fall inside a surrogate pair;
    // -1 ends mean "no selection".
    bool GetSelectedRange(int& start, int& end);
    int GetCursorPos() const { return m_cursorPos; }
    void SetCursorPos(int position);
    virtual void CutSelected();
    virtual void CopySelected();
    virtual void Paste();
    // Replaces the selection with the text, as typing would.
    virtual void InsertText(const std::u16string& text);
    virtual void DeleteSelected();
    // The content size of the text in the current font, one line per line.
    void GetTextSize(int& wide, int& tall);
    // The character position nearest to a point inside the field.
    int PixelToCursorSpace(int x, int y);
    Menu* GetEditMenu() { return m_editMenu; }

    bool RequestInfo(KeyValues* outputData) override;
    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void Paint() override;
    void OnSizeChanged(int newWide, int newTall) override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    void OnCursorMoved(int x, int y) override;
    void OnMousePressed(MouseCode code) override;
    void OnMouseDoublePressed(MouseCode code) override;
    void OnMouseReleased(MouseCode code) override;
    void OnMouseCaptureLost() override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnKeyTyped(wchar unichar) override;
    virtual void OnSetTextMessage(const wchar* text);
    virtual void OnSliderMoved();
    virtual void OnSetState(int state);
    virtual void OpenEditMenu();
    // Room a derived control keeps free on the right (a drop-down
    // button); text never runs under it.
    virtual void SetTextAreaRightInset(int inset);
    // Sends "TextChanged" without a text, for edits made by the user.
    virtual void FireTextChanged();
    void SelectWordAt(int position);
    // After the edit menu closes the keyboard comes back to the entry;
    // true when the closing menu was the edit menu.
    bool ReclaimFocusFromEditMenu();

private:
    void OnCutSelected();
    void OnCopySelected();
    void OnPasteMessage();
    void OnEditMenuClose();
    HFont CurrentFont();
    int CharWidth(char32_t ch);
    // The drawn width of the text from one position up to another.
    int TextWidth(int from, int to);
    char32_t DisplayChar(char32_t ch) const;
    bool AcceptsChar(wchar ch) const;
    void RecalculateLines();
    int LineOf(int position);
    int LineEnd(int line);
    void MoveCursor(int position, bool extendSelection);
    void ScrollCursorIntoView();
    int WordStart(int position);
    int WordEnd(int position);
    void EditDone(bool changed);
    void CloseEditMenu();

    std::u16string m_text;
    int m_cursorPos = 0;
    int m_selectAnchor = -1;
    bool m_editable = true;
    bool m_multiline = false;
    bool m_hideText = false;
    int m_maxChars = -1;
    bool m_numericOnly = false;
    bool m_allowNonAscii = true;
    bool m_selectAllOnFirstFocus = false;
    bool m_hadFocusBefore = false;
    bool m_selectingWithMouse = false;
    int m_scrollOffset = 0;
    int m_rightInset = 0;
    std::vector<int> m_lineStarts{0};
    bool m_linesDirty = true;
    HFont m_font = 0;
    Color m_selectionBg;
    Color m_selectionFg;
    Color m_disabledFg;
    Color m_cursorColor;
    Menu* m_editMenu = nullptr;
};

}  // namespace vgui2
