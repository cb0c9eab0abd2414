// RichText: a read-only, multi-line text view. It word-wraps wide text into
// lines, draws it in coloured runs, scrolls with a vertical scroll bar that
// follows the end of the text while the view is scrolled there, lets the
// user select with the mouse (drag, double-click word) and copy to the
// clipboard (keys or a right-click edit menu), and can hold clickable runs
// that report and open their text. It leaves out editing, fonts per run and
// horizontal scrolling; the only per-run attributes are colour and
// clickability.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vgui2/Panel.h"

namespace vgui2 {

class Menu;
class ScrollBar;

class RichText : public Panel {
    VGUI2_PANEL_CLASS(RichText, Panel);

public:
    // Every line-break list ends with this index, past any text we hold.
    static constexpr int kLineBreakSentinel = 999999;

    RichText(Panel* parent, const char* panelName);

    void OnSizeChanged(int newWide, int newTall) override;
    bool RequestInfo(KeyValues* outputData) override;
    void SetFgColor(Color color) override;
    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

    // Replaces the whole text with one run in the current foreground colour.
    virtual void SetText(const wchar* text);
    // A "#token" the localization service knows shows the token's text;
    // anything else is shown as it stands, at most 1023 characters.
    virtual void SetText(const char* text);
    // Appends text as a run of its own colour; a clickable run reports its
    // text when pressed. Characters beyond the maximum are dropped.
    virtual void AppendText(const wchar* text, Color color, bool clickable = false);
    // Copies, then takes the focus back; a read-only view removes nothing.
    virtual void CutSelected();
    virtual void CopySelected();

    const std::u16string& GetText() const { return m_text; }
    // The text indices where lines start, ending with the sentinel; current
    // as of the last think step.
    const std::vector<int>& GetLineBreaks() const { return m_lineBreaks; }
    // Lower and upper selected index (the upper one excluded); false when
    // nothing is selected.
    bool GetSelection(int& lower, int& upper) const;
    void SetMaximumCharCount(int maxChars) { m_maxChars = maxChars; }
    int GetMaximumCharCount() const { return m_maxChars; }
    ScrollBar* GetScrollBar() { return m_scrollBar; }
    // The right-click menu while one exists; rebuilt on every right click.
    Menu* GetEditMenu();

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void OnMouseCaptureLost() override;
    void OnKillFocus() override;
    void OnThink() override;
    void OnCursorMoved(int x, int y) override;
    void OnCursorEntered() override;
    void OnCursorExited() override;
    void OnMousePressed(MouseCode code) override;
    void OnMouseDoublePressed(MouseCode code) override;
    void OnMouseReleased(MouseCode code) override;
    void OnMouseWheeled(int delta) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnMouseFocusTicked() override;
    void PaintBackground() override;
    void PerformLayout() override;

    virtual void OnSetTextMessage(const wchar* text);
    virtual void OnSliderMoved();
    virtual void OnClickPanel(int index);
    // Hands a clicked text to the desktop.
    virtual void OpenClickedText(const wchar* text);

private:
    class ClickPanel;

    struct FormatRun {
        Color color;
        int pixelsIndent = 0;
        int textIndex = 0;
        bool clickable = false;
    };

    void ResetLineBreaks();
    void RecalculateLineBreaks();
    void UpdateScrollBar();
    bool IsScrollBarShown();
    void ScrollTo(int value);
    int LineCount() const { return static_cast<int>(m_lineBreaks.size()); }
    int LineStart(int line) const;
    int LineEnd(int line) const;
    int LineOfIndex(int index) const;
    int LineHeight();
    int RunIndexAt(int textIndex) const;
    int CharWidth(char32_t ch);
    // The drawn width of the text from one index up to another.
    int TextWidth(int from, int to);
    // The text index under a point given in local coordinates.
    int IndexAtPoint(int x, int y);
    void MoveSelectionToPointer();
    void ClearSelection();
    void OpenEditMenu();
    void DeleteClickPanels();
    void PlaceClickPanels();

    std::u16string m_text;
    std::vector<int> m_lineBreaks;
    int m_recalcStartLine = 0;
    bool m_recalcLineBreaks = true;
    std::vector<FormatRun> m_runs;
    std::vector<ClickPanel*> m_clickPanels;
    HFont m_font = 0;
    Color m_disabledFgColor;
    Color m_selectionBgColor;
    Color m_selectionFgColor;
    const Color m_defaultTextColor;
    int m_maxChars = 65536;
    int m_selectStart = -1;
    int m_selectEnd = -1;
    bool m_selecting = false;
    bool m_mouseLeftWhileSelecting = false;
    ScrollBar* m_scrollBar = nullptr;
    bool m_updateScrollBar = true;
    // Set while the text was replaced and not yet laid out: a new text opens
    // at its top, however the scroll bar stood for the old one.
    bool m_textReplaced = true;
    HPanel m_editMenu = kNoHandle;
    std::optional<std::string> m_settingsText;
    int m_textLeftOffset = 3;
    int m_lineSpacing = 1;
    int m_scrollBarWide = 18;
};

}  // namespace vgui2
