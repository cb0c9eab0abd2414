#include "vgui2/RichText.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/ILocalize.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/ScrollBar.h"
#include "vgui2/TextConvert.h"
#include "vgui2/Utf16.h"

namespace vgui2 {

namespace {

// A narrow text is converted into this many bytes, so at most 1023
// characters of it are shown.
constexpr int kNarrowTextBufferBytes = 2048;
constexpr int kGetTextMaxChars = 511;
constexpr int kClickedTextMaxChars = 1022;
constexpr int kClickedTextNarrowBytes = 512;
constexpr int kWheelLines = 3;

// The character classes are fixed here rather than taken from the process
// locale: under the "C" locale the library would call every non-ASCII
// letter unprintable and the view would silently drop it.
bool IsPrintable(char32_t ch) { return !(ch < 0x20 || (ch >= 0x7F && ch < 0xA0)); }

bool IsSpace(char32_t ch) {
    return ch == u' ' || (ch >= 0x09 && ch <= 0x0D) || ch == 0x1680 || (ch >= 0x2000 && ch <= 0x2006) ||
           (ch >= 0x2008 && ch <= 0x200A) || ch == 0x2028 || ch == 0x2029 || ch == 0x205F || ch == 0x3000;
}

bool IsLineEnd(char32_t ch) { return ch == u'\r' || ch == u'\n'; }

bool IsKeyDown(KeyCode left, KeyCode right) { return input()->IsKeyDown(left) || input()->IsKeyDown(right); }

// Floor division, so that points above the first line map to the line
// before it rather than onto it.
int FloorDiv(int value, int divisor) { return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor); }

}  // namespace

// An invisible child laid over a clickable run; a left press reports the
// run's start index to the text view.
class RichText::ClickPanel : public Panel {
    VGUI2_PANEL_CLASS(ClickPanel, Panel);

public:
    ClickPanel(RichText* parent, int textIndex) : Panel(parent, nullptr), m_textIndex(textIndex) {
        SetPaintEnabled(false);
        SetPaintBackgroundEnabled(false);
        SetPaintBorderEnabled(false);
        SetCursor(dc_hand);
        AddActionSignalTarget(parent);
    }

    int TextIndex() const { return m_textIndex; }

protected:
    void OnMousePressed(MouseCode code) override {
        if (code == MOUSE_LEFT) {
            PostActionSignal(new KeyValues("ClickPanel", "index", m_textIndex));
        }
    }

private:
    int m_textIndex;
};

void RichText::ClickPanel::AddMessageHandlers(PanelMessageMap&) {}

void RichText::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&RichText::CutSelected>("DoCutSelected");
    map.Add<&RichText::CopySelected>("DoCopySelected");
    map.Add<&RichText::OnSetTextMessage>("SetText", "text");
    map.Add<&RichText::OnSliderMoved>("ScrollBarSliderMoved");
    map.Add<&RichText::OnClickPanel>("ClickPanel", "index");
}

RichText::RichText(Panel* parent, const char* panelName) : Panel(parent, panelName) {
    m_runs.push_back(FormatRun{});
    m_scrollBar = new ScrollBar(this, "ScrollBar", true);
    m_scrollBar->AddActionSignalTarget(this);
    m_scrollBar->SetRange(0, 1);
    m_scrollBar->SetRangeWindow(1);
    m_scrollBar->SetValue(0);
    if (IsProportional()) {
        int screenWide = 0, screenTall = 0;
        surface()->GetScreenSize(screenWide, screenTall);
        auto scale = [screenWide](int value) { return value * screenWide / kProportionalBaseWide; };
        m_textLeftOffset = scale(m_textLeftOffset);
        m_lineSpacing = scale(m_lineSpacing);
        m_scrollBarWide = scale(m_scrollBarWide);
    }
    SetCursor(dc_ibeam);
    ResetLineBreaks();
}

void RichText::SetText(const char* text) {
    if (!text) {
        text = "";
    }
    if (text[0] == '#' && localize()) {
        if (const wchar* found = localize()->Find(text + 1)) {
            SetText(found);
            return;
        }
    }
    wchar converted[kNarrowTextBufferBytes / sizeof(wchar)];
    Utf8ToWide(text, converted, kNarrowTextBufferBytes);
    SetText(converted);
}

void RichText::SetText(const wchar* text) {
    DeleteClickPanels();
    m_runs.assign(1, FormatRun{GetFgColor(), 0, 0, false});
    m_text = text ? text : u"";
    m_scrollBar->SetValue(0);
    m_textReplaced = true;
    ClearSelection();
    ResetLineBreaks();
    Repaint();
    InvalidateLayout();
}

void RichText::AppendText(const wchar* text, Color color, bool clickable) {
    std::u16string added = text ? text : u"";
    if (m_maxChars >= 0) {
        std::size_t room = m_text.size() < static_cast<std::size_t>(m_maxChars) ? m_maxChars - m_text.size() : 0;
        added.resize(static_cast<std::size_t>(WholeCodePointPrefix(added, static_cast<int>(room))));
    }
    if (added.empty()) {
        return;
    }
    int start = static_cast<int>(m_text.size());
    const FormatRun& last = m_runs.back();
    bool sameLook = last.color == color && last.clickable == clickable;
    // A clickable run always starts afresh so that two links written one
    // after the other stay two links.
    if (!sameLook || clickable) {
        if (last.textIndex == start) {
            m_runs.pop_back();
        }
        m_runs.push_back(FormatRun{color, 0, start, clickable});
        if (clickable) {
            m_clickPanels.push_back(new ClickPanel(this, start));
        }
    }
    m_text += added;
    // Only the last line can change when text is added at the end.
    if (!m_recalcLineBreaks) {
        m_recalcStartLine = LineCount() - 1;
        m_recalcLineBreaks = true;
    }
    Repaint();
}

void RichText::SetFgColor(Color color) {
    Panel::SetFgColor(color);
    // The first colour given to a fresh single-run text becomes its colour;
    // a run that already has its own colour keeps it.
    if (m_runs.size() == 1 && m_runs.front().color == m_defaultTextColor) {
        m_runs.front().color = color;
    }
}

void RichText::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    m_font = schemeData->GetFont("Default", IsProportional());
    SetFgColor(GetSchemeColor("WindowFgColor", schemeData));
    SetBgColor(GetSchemeColor("WindowBgColor", schemeData));
    m_disabledFgColor = GetSchemeColor("WindowDisabledFgColor", schemeData);
    m_selectionFgColor = GetSchemeColor("SelectionFgColor", GetFgColor(), schemeData);
    m_selectionBgColor = GetSchemeColor("SelectionBgColor", schemeData);
    SetBorder(schemeData->GetBorder("ButtonDepressedBorder"));
    // New glyph widths make the old line breaks wrong.
    ResetLineBreaks();
}

void RichText::OnSizeChanged(int newWide, int newTall) {
    Panel::OnSizeChanged(newWide, newTall);
    ResetLineBreaks();
}

void RichText::PerformLayout() { Repaint(); }

void RichText::ResetLineBreaks() {
    m_lineBreaks.assign(1, kLineBreakSentinel);
    m_recalcStartLine = 0;
    m_recalcLineBreaks = true;
}

// Line ends take no room: they only end the line they stand on.
int RichText::CharWidth(char32_t ch) {
    return IsLineEnd(ch) ? 0 : surface()->GetCharacterWidth(m_font, static_cast<int>(ch));
}

int RichText::TextWidth(int from, int to) {
    int width = 0;
    for (int index = from; index < to; index = NextCodePointStart(m_text, index)) {
        width += CharWidth(CodePointAt(m_text, index));
    }
    return width;
}

// At least one pixel, so that a font without height cannot divide by zero.
int RichText::LineHeight() { return std::max(1, surface()->GetFontTall(m_font) + m_lineSpacing); }

int RichText::RunIndexAt(int textIndex) const {
    auto after = std::upper_bound(m_runs.begin() + 1, m_runs.end(), textIndex,
                                  [](int index, const FormatRun& run) { return index < run.textIndex; });
    return static_cast<int>(after - m_runs.begin()) - 1;
}

int RichText::LineStart(int line) const { return line <= 0 ? 0 : m_lineBreaks[line - 1]; }

int RichText::LineEnd(int line) const {
    return std::min(m_lineBreaks[line], static_cast<int>(m_text.size()));
}

int RichText::LineOfIndex(int index) const {
    // Every break at or before the index starts a line above it; the
    // sentinel starts none.
    return static_cast<int>(std::upper_bound(m_lineBreaks.begin(), m_lineBreaks.end() - 1, index) -
                            m_lineBreaks.begin());
}

bool RichText::IsScrollBarShown() { return m_scrollBar->IsVisible(); }

void RichText::RecalculateLineBreaks() {
    m_recalcLineBreaks = false;
    int available = GetWide() - (IsScrollBarShown() ? m_scrollBarWide : 0);
    int line = std::clamp(m_recalcStartLine, 0, LineCount() - 1);
    int index = LineStart(line);
    m_lineBreaks.resize(line);
    const int length = static_cast<int>(m_text.size());
    // A line that starts on the line end which broke it steps over it; a
    // CR LF pair counts as one line end.
    auto stepOverLineEnd = [&](int at) {
        if (at < length && IsLineEnd(m_text[at])) {
            ++at;
            if (at < length && m_text[at - 1] == u'\r' && m_text[at] == u'\n') {
                ++at;
            }
        }
        return at;
    };
    index = stepOverLineEnd(index);
    // The first character that counts for the line: a line end that opened
    // it is not part of its words.
    int contentStart = index;
    int x = m_textLeftOffset + m_runs[RunIndexAt(index)].pixelsIndent;
    int wordStart = contentStart;
    while (index < length) {
        int units = 0;
        char32_t ch = CodePointAt(m_text, index, &units);
        int indent = m_runs[RunIndexAt(index)].pixelsIndent;
        int width = CharWidth(ch);
        bool lineEnd = IsLineEnd(ch);
        // A line holds at least one character: a glyph wider than the view
        // would otherwise produce empty lines forever.
        if (lineEnd || (index > contentStart && x + width + indent >= available)) {
            int breakAt = (lineEnd || IsSpace(ch) || wordStart <= contentStart) ? index : wordStart;
            m_lineBreaks.push_back(breakAt);
            index = stepOverLineEnd(breakAt);
            contentStart = index;
            wordStart = contentStart;
            x = m_textLeftOffset + (index < length ? m_runs[RunIndexAt(index)].pixelsIndent : 0);
            continue;
        }
        if (!IsSpace(ch) && index > contentStart && IsSpace(m_text[index - 1])) {
            wordStart = index;
        }
        x += width;
        index += units;
    }
    m_lineBreaks.push_back(kLineBreakSentinel);
    m_recalcStartLine = 0;
    m_updateScrollBar = true;
}

void RichText::UpdateScrollBar() {
    m_updateScrollBar = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    GetInset(left, top, right, bottom);
    m_scrollBar->SetBounds(GetWide() - right - m_scrollBarWide - 1, 0, m_scrollBarWide, GetTall() - top - bottom);
    int visibleLines = GetTall() / LineHeight();
    int lines = LineCount();
    int min = 0, max = 0;
    m_scrollBar->GetRange(min, max);
    bool followEnd = !m_textReplaced && m_scrollBar->GetValue() >= max - m_scrollBar->GetRangeWindow();
    m_textReplaced = false;
    if (lines > visibleLines) {
        m_scrollBar->SetRange(0, lines);
        m_scrollBar->SetRangeWindow(visibleLines);
        m_scrollBar->SetEnabled(true);
        if (followEnd) {
            m_scrollBar->SetValue(lines - visibleLines);
        }
    } else {
        m_scrollBar->SetRange(0, lines);
        m_scrollBar->SetRangeWindow(lines);
        m_scrollBar->SetValue(0);
        m_scrollBar->SetEnabled(false);
    }
    Repaint();
}

void RichText::OnThink() {
    if (m_recalcLineBreaks) {
        RecalculateLineBreaks();
    }
    if (m_updateScrollBar && IsScrollBarShown()) {
        UpdateScrollBar();
    }
}

void RichText::PaintBackground() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    surface()->DrawSetColor(GetBgColor());
    surface()->DrawFilledRect(0, 0, wide, tall);
    surface()->DrawSetTextFont(m_font);
    int lower = 0, upper = 0;
    bool selected = GetSelection(lower, upper);
    int lineHeight = LineHeight();
    int fontTall = surface()->GetFontTall(m_font);
    int y = m_lineSpacing;
    for (int line = std::max(0, m_scrollBar->GetValue()); line < LineCount() && y < tall; ++line) {
        int end = LineEnd(line);
        int x = -1;
        for (int index = LineStart(line), units = 0; index < end; index += units) {
            const FormatRun& run = m_runs[RunIndexAt(index)];
            if (x < 0) {
                x = m_textLeftOffset + run.pixelsIndent;
            }
            char32_t ch = CodePointAt(m_text, index, &units);
            int width = CharWidth(ch);
            if (IsPrintable(ch)) {
                Color color = IsEnabled() ? run.color : m_disabledFgColor;
                if (selected && index >= lower && index < upper) {
                    surface()->DrawSetColor(m_selectionBgColor);
                    surface()->DrawFilledRect(x, y, x + width, y + fontTall);
                    color = m_selectionFgColor;
                }
                surface()->DrawSetTextColor(color);
                surface()->DrawSetTextPos(x, y);
                DrawCodePoint(*surface(), ch);
            }
            x += width;
        }
        y += lineHeight;
    }
    PlaceClickPanels();
}

void RichText::PlaceClickPanels() {
    if (m_clickPanels.empty()) {
        return;
    }
    int lineHeight = LineHeight();
    int firstLine = std::max(0, m_scrollBar->GetValue());
    for (ClickPanel* panel : m_clickPanels) {
        int start = panel->TextIndex();
        int line = LineOfIndex(start);
        int y = m_lineSpacing + (line - firstLine) * lineHeight;
        if (line < firstLine || y >= GetTall()) {
            panel->SetVisible(false);
            continue;
        }
        int x = m_textLeftOffset + m_runs[RunIndexAt(start)].pixelsIndent + TextWidth(LineStart(line), start);
        int runIndex = RunIndexAt(start);
        int runEnd = runIndex + 1 < static_cast<int>(m_runs.size()) ? m_runs[runIndex + 1].textIndex
                                                                    : static_cast<int>(m_text.size());
        int wide = TextWidth(start, std::min(runEnd, LineEnd(line)));
        panel->SetBounds(x, y, wide, lineHeight);
        panel->SetVisible(true);
    }
}

void RichText::DeleteClickPanels() {
    for (ClickPanel* panel : m_clickPanels) {
        delete panel;
    }
    m_clickPanels.clear();
}

bool RichText::GetSelection(int& lower, int& upper) const {
    if (m_selectStart < 0) {
        return false;
    }
    int length = static_cast<int>(m_text.size());
    lower = std::clamp(std::min(m_selectStart, m_selectEnd), 0, length);
    upper = std::clamp(std::max(m_selectStart, m_selectEnd), 0, length);
    return true;
}

void RichText::ClearSelection() {
    m_selectStart = -1;
    m_selectEnd = -1;
}

void RichText::CopySelected() {
    int lower = 0, upper = 0;
    if (GetSelection(lower, upper) && lower < upper) {
        std::u16string copied;
        for (int index = lower; index < upper; ++index) {
            if (m_text[index] == u'\n') {
                copied += u'\r';
            }
            copied += m_text[index];
        }
        system()->SetClipboardText(copied.c_str(), static_cast<int>(copied.size()));
    }
    RequestFocus();
}

void RichText::CutSelected() {
    CopySelected();
    RequestFocus();
}

void RichText::OnSetTextMessage(const wchar* text) { SetText(text); }

void RichText::OnSliderMoved() { Repaint(); }

void RichText::OnClickPanel(int index) {
    std::u16string clicked;
    int length = static_cast<int>(m_text.size());
    for (int at = std::max(0, index), units = 0; at < length; at += units) {
        CodePointAt(m_text, at, &units);
        if (!m_runs[RunIndexAt(at)].clickable || static_cast<int>(clicked.size()) + units > kClickedTextMaxChars) {
            break;
        }
        clicked.append(m_text, static_cast<std::size_t>(at), static_cast<std::size_t>(units));
    }
    KeyValues* message = new KeyValues("TextClicked");
    message->SetWString("text", clicked.c_str());
    PostActionSignal(message);
    OpenClickedText(clicked.c_str());
}

void RichText::OpenClickedText(const wchar* text) {
    char narrow[kClickedTextNarrowBytes];
    WideToUtf8(text, narrow, sizeof(narrow));
    if (narrow[0] != '\0') {
        system()->ShellExecute("open", narrow);
    }
}

bool RichText::RequestInfo(KeyValues* outputData) {
    // Names share symbols without regard to case, so the spelling that
    // comes back may be another one's.
    if (platform::CompareNoCase(outputData->GetName(), "GetText") == 0) {
        std::u16string first = m_text.substr(0, static_cast<std::size_t>(WholeCodePointPrefix(m_text, kGetTextMaxChars)));
        outputData->SetWString("text", first.c_str());
        return true;
    }
    return Panel::RequestInfo(outputData);
}

void RichText::ApplySettings(KeyValues* settings) {
    Panel::ApplySettings(settings);
    SetMaximumCharCount(settings->GetInt("maxchars", -1));
    const char* text = settings->GetString("text", "");
    if (text[0] != '\0') {
        m_settingsText = text;
        SetText(text);
    }
}

void RichText::GetSettings(KeyValues* settings) {
    Panel::GetSettings(settings);
    settings->SetInt("maxchars", m_maxChars);
    if (m_settingsText) {
        settings->SetString("text", m_settingsText->c_str());
    }
}

const char* RichText::GetDescription() {
    static char description[1024];
    std::snprintf(description, sizeof(description), "%s, string text", Panel::GetDescription());
    return description;
}

int RichText::IndexAtPoint(int x, int y) {
    int line = m_scrollBar->GetValue() + FloorDiv(y - m_lineSpacing, LineHeight());
    line = std::clamp(line, 0, LineCount() - 1);
    int start = LineStart(line);
    int end = LineEnd(line);
    int left = m_textLeftOffset + m_runs[RunIndexAt(start)].pixelsIndent;
    for (int index = start; index < end; index = NextCodePointStart(m_text, index)) {
        int width = CharWidth(CodePointAt(m_text, index));
        // The nearer edge of the glyph decides which side the caret takes.
        if (x < left + width / 2) {
            return index;
        }
        left += width;
    }
    return end;
}

void RichText::MoveSelectionToPointer() {
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    OnCursorMoved(x, y);
}

void RichText::OnCursorMoved(int x, int y) {
    if (!m_selecting) {
        return;
    }
    int index = IndexAtPoint(x, y);
    if (index != m_selectEnd) {
        m_selectEnd = index;
        Repaint();
    }
}

void RichText::OnCursorEntered() { m_mouseLeftWhileSelecting = false; }

void RichText::OnCursorExited() {
    if (m_selecting) {
        m_mouseLeftWhileSelecting = true;
    }
}

void RichText::OnMouseFocusTicked() {
    if (m_selecting && m_mouseLeftWhileSelecting) {
        MoveSelectionToPointer();
    }
}

void RichText::OnMousePressed(MouseCode code) {
    if (code == MOUSE_RIGHT) {
        OpenEditMenu();
        return;
    }
    if (code != MOUSE_LEFT) {
        return;
    }
    ClearSelection();
    input()->SetMouseCapture(GetVPanel());
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    m_selectStart = IndexAtPoint(x, y);
    m_selectEnd = m_selectStart;
    m_selecting = true;
    m_mouseLeftWhileSelecting = false;
    RequestFocus();
    Repaint();
}

void RichText::OnMouseDoublePressed(MouseCode code) {
    if (code != MOUSE_LEFT) {
        return;
    }
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    int index = IndexAtPoint(x, y);
    int length = static_cast<int>(m_text.size());
    int start = index;
    while (start > 0 && !IsSpace(m_text[start - 1])) {
        --start;
    }
    int end = index;
    while (end < length && !IsSpace(m_text[end])) {
        ++end;
    }
    m_selectStart = start;
    m_selectEnd = end;
    // The pointer has not moved yet; a drag after the double press must not
    // shrink the word back to the caret.
    m_selecting = false;
    Repaint();
}

void RichText::OnMouseReleased(MouseCode code) {
    if (code != MOUSE_LEFT) {
        return;
    }
    m_selecting = false;
    m_mouseLeftWhileSelecting = false;
    if (input()->GetMouseCapture() == GetVPanel()) {
        input()->SetMouseCapture(kNoPanel);
    }
    if (m_selectStart == m_selectEnd) {
        ClearSelection();
        Repaint();
    }
}

void RichText::OnMouseCaptureLost() {
    m_selecting = false;
    m_mouseLeftWhileSelecting = false;
}

void RichText::OnKillFocus() {
    int lower = 0, upper = 0;
    if (GetSelection(lower, upper) && input()->IsMouseDown(MOUSE_RIGHT)) {
        // The right button is down inside the selection: the edit menu is
        // taking the focus, and it needs the selection to copy.
        int x = 0, y = 0;
        input()->GetCursorPos(x, y);
        ScreenToLocal(x, y);
        int line = m_scrollBar->GetValue() + FloorDiv(y - m_lineSpacing, LineHeight());
        if (line >= LineOfIndex(lower) && line <= LineOfIndex(upper)) {
            Panel::OnKillFocus();
            return;
        }
    }
    ClearSelection();
    Repaint();
    Panel::OnKillFocus();
}

Menu* RichText::GetEditMenu() { return dynamic_cast<Menu*>(PanelFromHandle(m_editMenu)); }

void RichText::OpenEditMenu() {
    delete GetEditMenu();
    auto* menu = new Menu(this, "EditMenu");
    m_editMenu = HandleOf(menu);
    int copyItem = menu->AddMenuItem("C&opy", new KeyValues("DoCopySelected"), this);
    int lower = 0, upper = 0;
    menu->SetItemEnabled(copyItem, GetSelection(lower, upper));
    menu->InvalidateLayout(true);
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    int screenWide = 0, screenTall = 0;
    surface()->GetScreenSize(screenWide, screenTall);
    int menuWide = 0, menuTall = 0;
    menu->GetSize(menuWide, menuTall);
    if (x + menuWide > screenWide) {
        x -= menuWide;
    }
    if (y + menuTall > screenTall) {
        y -= menuTall;
    }
    menu->SetPos(x, y);
    menu->SetVisible(true);
}

void RichText::ScrollTo(int value) { m_scrollBar->SetValue(value); }

void RichText::OnMouseWheeled(int delta) {
    if (IsScrollBarShown()) {
        ScrollTo(m_scrollBar->GetValue() - delta * kWheelLines);
    }
}

void RichText::OnKeyCodeTyped(KeyCode code) {
    int min = 0, max = 0;
    m_scrollBar->GetRange(min, max);
    if (IsKeyDown(KEY_LCONTROL, KEY_RCONTROL)) {
        switch (code) {
            case KEY_C:
            case KEY_X:
            case KEY_INSERT:
                CopySelected();
                return;
            case KEY_HOME:
            case KEY_PAGEUP:
                ScrollTo(min);
                return;
            case KEY_END:
            case KEY_PAGEDOWN:
                ScrollTo(max);
                return;
            default:
                Panel::OnKeyCodeTyped(code);
                return;
        }
    }
    if (IsKeyDown(KEY_LALT, KEY_RALT)) {
        Panel::OnKeyCodeTyped(code);
        return;
    }
    int page = m_scrollBar->GetRangeWindow() + 1;
    switch (code) {
        case KEY_ENTER:
        case KEY_TAB:
        case KEY_ESCAPE:
        case KEY_LSHIFT:
        case KEY_RSHIFT:
            Panel::OnKeyCodeTyped(code);
            return;
        case KEY_DELETE:
            if (IsKeyDown(KEY_LSHIFT, KEY_RSHIFT)) {
                CopySelected();
            }
            return;
        case KEY_HOME:
            ScrollTo(min);
            return;
        case KEY_END:
            ScrollTo(max);
            return;
        case KEY_PAGEUP:
            if (IsScrollBarShown()) {
                ScrollTo(m_scrollBar->GetValue() - page);
            }
            return;
        case KEY_PAGEDOWN:
            if (IsScrollBarShown()) {
                ScrollTo(m_scrollBar->GetValue() + page);
            }
            return;
        default:
            return;
    }
}

}  // namespace vgui2
