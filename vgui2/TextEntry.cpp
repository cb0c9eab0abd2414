#include "vgui2/TextEntry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuPlacement.h"
#include "vgui2/Utf16.h"
#include "vgui2/WideText.h"

namespace vgui2 {

namespace {

constexpr int kTextMargin = 3;
constexpr int kMultilineTop = 2;
constexpr int kAtPointer = 4;
constexpr wchar kHiddenChar = u'*';
constexpr char32_t kEllipsis = U'\u2026';

bool IsShiftDown() { return input()->IsKeyDown(KEY_LSHIFT) || input()->IsKeyDown(KEY_RSHIFT); }
bool IsCtrlDown() { return input()->IsKeyDown(KEY_LCONTROL) || input()->IsKeyDown(KEY_RCONTROL); }
bool IsAltDown() { return input()->IsKeyDown(KEY_LALT) || input()->IsKeyDown(KEY_RALT); }

bool IsWordChar(wchar ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || ch == u'_' ||
           ch >= 128;
}

}  // namespace

void TextEntry::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&TextEntry::OnCutSelected>("DoCutSelected");
    map.Add<&TextEntry::OnCopySelected>("DoCopySelected");
    map.Add<&TextEntry::OnPasteMessage>("DoPaste");
    map.Add<&TextEntry::OnSetTextMessage>("SetText", "text");
    map.Add<&TextEntry::OnSliderMoved>("ScrollBarSliderMoved");
    map.Add<&TextEntry::OnSetState>("SetState", "state");
    map.Add<&TextEntry::OnEditMenuClose>("MenuClose");
}

TextEntry::TextEntry(Panel* parent, const char* panelName) : Panel(parent, panelName) {
    SetCursor(dc_ibeam);
}

TextEntry::~TextEntry() = default;

// Text -----------------------------------------------------------------------

void TextEntry::SetText(const wchar* text) {
    m_text = text ? text : u"";
    if (m_maxChars >= 0 && static_cast<int>(m_text.size()) > m_maxChars) {
        m_text.resize(static_cast<std::size_t>(WholeCodePointPrefix(m_text, m_maxChars)));
    }
    m_cursorPos = 0;
    m_selectAnchor = -1;
    m_scrollOffset = 0;
    m_linesDirty = true;
    Repaint();
}

void TextEntry::SetText(const char* text) {
    std::u16string wide = ToWide(text);
    SetText(wide.c_str());
}

void TextEntry::GetText(wchar* buffer, int bufferBytes) {
    int capacity = bufferBytes / static_cast<int>(sizeof(wchar));
    if (!buffer || capacity <= 0) {
        return;
    }
    auto count = static_cast<std::size_t>(WholeCodePointPrefix(m_text, capacity - 1));
    std::copy_n(m_text.begin(), count, buffer);
    buffer[count] = 0;
}

void TextEntry::GetText(char* buffer, int bufferBytes) {
    if (buffer && bufferBytes > 0) {
        WideToUtf8(m_text.c_str(), buffer, bufferBytes);
    }
}

void TextEntry::OnSetTextMessage(const wchar* text) { SetText(text); }

void TextEntry::OnSliderMoved() { Repaint(); }

// Buttons and entries share "SetState"; for an entry the state is whether
// its whole text is selected.
void TextEntry::OnSetState(int state) {
    if (state) {
        SelectAllText(false);
    } else {
        SelectNone();
    }
}

// Flags ----------------------------------------------------------------------

void TextEntry::SetEditable(bool state) {
    m_editable = state;
    Repaint();
}

bool TextEntry::IsEditable() { return m_editable; }

void TextEntry::SetMultiline(bool state) {
    m_multiline = state;
    m_linesDirty = true;
    Repaint();
}

void TextEntry::SetTextHidden(bool state) {
    m_hideText = state;
    Repaint();
}

void TextEntry::SetMaximumCharCount(int maxChars) { m_maxChars = maxChars; }

void TextEntry::SetAllowNumericInputOnly(bool state) { m_numericOnly = state; }

void TextEntry::SetAllowNonAsciiCharacters(bool state) { m_allowNonAscii = state; }

void TextEntry::SetSelectAllOnFirstFocus(bool state) { m_selectAllOnFirstFocus = state; }

void TextEntry::SetFont(HFont font) {
    m_font = font;
    m_linesDirty = true;
    Repaint();
}

HFont TextEntry::CurrentFont() {
    PerformApplySchemeSettings();
    return m_font;
}

int TextEntry::CharWidth(char32_t ch) {
    return surface()->GetCharacterWidth(CurrentFont(), static_cast<int>(DisplayChar(ch)));
}

int TextEntry::TextWidth(int from, int to) {
    int width = 0;
    for (int i = from; i < to; i = NextCodePointStart(m_text, i)) {
        width += CharWidth(CodePointAt(m_text, i));
    }
    return width;
}

char32_t TextEntry::DisplayChar(char32_t ch) const { return m_hideText && ch != u'\n' ? kHiddenChar : ch; }

bool TextEntry::AcceptsChar(wchar ch) const {
    if (ch == u'\n') {
        return m_multiline;
    }
    if (ch < 32 || ch == 127) {
        return false;
    }
    if (!m_allowNonAscii && ch >= 128) {
        return false;
    }
    if (m_numericOnly) {
        return (ch >= u'0' && ch <= u'9') || ch == u'-' || ch == u'+' || ch == u'.';
    }
    return true;
}

// Selection and cursor ---------------------------------------------------------

bool TextEntry::GetSelectedRange(int& start, int& end) {
    if (m_selectAnchor < 0 || m_selectAnchor == m_cursorPos) {
        start = end = -1;
        return false;
    }
    start = std::min(m_selectAnchor, m_cursorPos);
    end = std::max(m_selectAnchor, m_cursorPos);
    return true;
}

void TextEntry::SelectAllText(bool resetCursorPos) {
    if (resetCursorPos) {
        m_cursorPos = 0;
        m_selectAnchor = GetTextLength();
    } else {
        m_selectAnchor = 0;
        m_cursorPos = GetTextLength();
    }
    ScrollCursorIntoView();
    Repaint();
}

void TextEntry::SelectNone() {
    m_selectAnchor = -1;
    Repaint();
}

void TextEntry::SetCursorPos(int position) {
    m_cursorPos = CodePointStart(m_text, std::clamp(position, 0, GetTextLength()));
    m_selectAnchor = -1;
    ScrollCursorIntoView();
    Repaint();
}

void TextEntry::MoveCursor(int position, bool extendSelection) {
    position = CodePointStart(m_text, std::clamp(position, 0, GetTextLength()));
    if (extendSelection) {
        if (m_selectAnchor < 0) {
            m_selectAnchor = m_cursorPos;
        }
    } else {
        m_selectAnchor = -1;
    }
    m_cursorPos = position;
    ScrollCursorIntoView();
    Repaint();
}

int TextEntry::WordStart(int position) {
    while (position > 0 && !IsWordChar(m_text[static_cast<std::size_t>(position - 1)])) {
        --position;
    }
    while (position > 0 && IsWordChar(m_text[static_cast<std::size_t>(position - 1)])) {
        --position;
    }
    return position;
}

int TextEntry::WordEnd(int position) {
    int length = GetTextLength();
    while (position < length && !IsWordChar(m_text[static_cast<std::size_t>(position)])) {
        ++position;
    }
    while (position < length && IsWordChar(m_text[static_cast<std::size_t>(position)])) {
        ++position;
    }
    return position;
}

void TextEntry::SelectWordAt(int position) {
    int length = GetTextLength();
    position = std::clamp(position, 0, length);
    int start = position;
    int end = position;
    if (position < length && IsWordChar(m_text[static_cast<std::size_t>(position)])) {
        while (start > 0 && IsWordChar(m_text[static_cast<std::size_t>(start - 1)])) {
            --start;
        }
        while (end < length && IsWordChar(m_text[static_cast<std::size_t>(end)])) {
            ++end;
        }
    } else if (position < length) {
        end = NextCodePointStart(m_text, position);
    }
    m_selectAnchor = start;
    m_cursorPos = end;
    ScrollCursorIntoView();
    Repaint();
}

// Editing ----------------------------------------------------------------------

void TextEntry::EditDone(bool changed) {
    if (!changed) {
        return;
    }
    m_linesDirty = true;
    ScrollCursorIntoView();
    Repaint();
    FireTextChanged();
}

void TextEntry::FireTextChanged() { PostActionSignal(new KeyValues("TextChanged")); }

void TextEntry::DeleteSelected() {
    int start = 0, end = 0;
    if (!m_editable || !GetSelectedRange(start, end)) {
        return;
    }
    m_text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    m_cursorPos = start;
    m_selectAnchor = -1;
    EditDone(true);
}

void TextEntry::InsertText(const std::u16string& text) {
    if (!m_editable) {
        return;
    }
    std::u16string accepted;
    for (wchar ch : text) {
        if (ch == u'\r') {
            continue;
        }
        if (AcceptsChar(ch)) {
            accepted += ch;
        }
    }
    int start = 0, end = 0;
    bool hadSelection = GetSelectedRange(start, end);
    int remaining = GetTextLength() - (hadSelection ? end - start : 0);
    if (m_maxChars >= 0) {
        accepted.resize(static_cast<std::size_t>(WholeCodePointPrefix(accepted, m_maxChars - remaining)));
    }
    // Typing refused by the filter must not delete the selection it would
    // have replaced.
    if (accepted.empty()) {
        return;
    }
    if (hadSelection) {
        m_text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
        m_cursorPos = start;
    }
    m_text.insert(static_cast<std::size_t>(m_cursorPos), accepted);
    m_cursorPos += static_cast<int>(accepted.size());
    m_selectAnchor = -1;
    EditDone(true);
}

void TextEntry::CopySelected() {
    int start = 0, end = 0;
    // A hidden text (a password) never leaves the field.
    if (m_hideText || !GetSelectedRange(start, end)) {
        return;
    }
    std::u16string selected = m_text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    system()->SetClipboardText(selected.c_str(), static_cast<int>(selected.size()));
}

void TextEntry::CutSelected() {
    if (!m_editable || m_hideText) {
        return;
    }
    CopySelected();
    DeleteSelected();
}

void TextEntry::Paste() {
    if (!m_editable) {
        return;
    }
    int count = system()->GetClipboardTextCount();
    if (count <= 0) {
        return;
    }
    std::vector<wchar> buffer(static_cast<std::size_t>(count) + 1, 0);
    int copied = system()->GetClipboardText(0, buffer.data(), static_cast<int>(buffer.size() * sizeof(wchar)));
    InsertText(std::u16string(buffer.data(), static_cast<std::size_t>(std::max(0, copied))));
}

void TextEntry::OnCutSelected() {
    RequestFocus();
    CutSelected();
}

void TextEntry::OnCopySelected() {
    RequestFocus();
    CopySelected();
}

void TextEntry::OnPasteMessage() {
    RequestFocus();
    Paste();
}

// Lines and metrics ------------------------------------------------------------

void TextEntry::SetTextAreaRightInset(int inset) {
    m_rightInset = inset;
    m_linesDirty = true;
}

void TextEntry::RecalculateLines() {
    m_lineStarts.assign(1, 0);
    m_linesDirty = false;
    if (!m_multiline) {
        return;
    }
    int available = GetWide() - 2 * kTextMargin - m_rightInset;
    int lineStart = 0;
    int lineWidth = 0;
    int lastBreak = -1;
    for (int i = 0, units = 0; i < GetTextLength(); i += units) {
        char32_t ch = CodePointAt(m_text, i, &units);
        if (ch == u'\n') {
            lineStart = i + 1;
            m_lineStarts.push_back(lineStart);
            lineWidth = 0;
            lastBreak = -1;
            continue;
        }
        int width = CharWidth(ch);
        if (lineWidth + width > available && i > lineStart) {
            // Break after the last space of the line, or inside a word that
            // is wider than the whole line.
            int breakAt = lastBreak > lineStart ? lastBreak : i;
            m_lineStarts.push_back(breakAt);
            lineStart = breakAt;
            lineWidth = TextWidth(breakAt, i);
            lastBreak = -1;
        }
        lineWidth += width;
        if (ch == u' ') {
            lastBreak = i + 1;
        }
    }
}

int TextEntry::LineOf(int position) {
    if (m_linesDirty) {
        RecalculateLines();
    }
    auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return std::max(0, static_cast<int>(it - m_lineStarts.begin()) - 1);
}

int TextEntry::LineEnd(int line) {
    if (line + 1 < static_cast<int>(m_lineStarts.size())) {
        int next = m_lineStarts[static_cast<std::size_t>(line + 1)];
        return next > 0 && m_text[static_cast<std::size_t>(next - 1)] == u'\n' ? next - 1 : next;
    }
    return GetTextLength();
}

void TextEntry::GetTextSize(int& wide, int& tall) {
    if (m_linesDirty) {
        RecalculateLines();
    }
    wide = 0;
    for (std::size_t line = 0; line < m_lineStarts.size(); ++line) {
        wide = std::max(wide, TextWidth(m_lineStarts[line], LineEnd(static_cast<int>(line))));
    }
    tall = surface()->GetFontTall(CurrentFont()) * static_cast<int>(m_lineStarts.size());
}

void TextEntry::ScrollCursorIntoView() {
    if (m_multiline) {
        m_scrollOffset = 0;
        return;
    }
    int available = GetWide() - 2 * kTextMargin - m_rightInset;
    m_scrollOffset = CodePointStart(m_text, std::clamp(m_scrollOffset, 0, m_cursorPos));
    while (m_scrollOffset < m_cursorPos && TextWidth(m_scrollOffset, m_cursorPos) > available) {
        m_scrollOffset = NextCodePointStart(m_text, m_scrollOffset);
    }
}

int TextEntry::PixelToCursorSpace(int x, int y) {
    if (m_linesDirty) {
        RecalculateLines();
    }
    int line = 0;
    int fontTall = std::max(1, surface()->GetFontTall(CurrentFont()));
    if (m_multiline) {
        line = std::clamp((y - kMultilineTop) / fontTall, 0, static_cast<int>(m_lineStarts.size()) - 1);
    }
    int position = m_multiline ? m_lineStarts[static_cast<std::size_t>(line)] : m_scrollOffset;
    int end = LineEnd(line);
    int edge = kTextMargin;
    for (; position < end; position = NextCodePointStart(m_text, position)) {
        int width = CharWidth(CodePointAt(m_text, position));
        if (x < edge + width / 2) {
            break;
        }
        edge += width;
    }
    return position;
}

// Look ---------------------------------------------------------------------------

void TextEntry::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetFgColor(GetSchemeColor("WindowFgColor", GetFgColor(), schemeData));
    SetBgColor(GetSchemeColor("WindowBgColor", GetBgColor(), schemeData));
    m_selectionBg = GetSchemeColor("SelectionBgColor", schemeData);
    m_selectionFg = GetSchemeColor("SelectionFgColor", schemeData);
    m_disabledFg = GetSchemeColor("WindowDisabledFgColor", schemeData);
    m_cursorColor = GetFgColor();
    SetBorder(schemeData->GetBorder("DepressedBorder"));
    if (!m_font) {
        m_font = schemeData->GetFont("Default", IsProportional());
    }
    m_linesDirty = true;
}

void TextEntry::PerformLayout() {
    m_linesDirty = true;
    ScrollCursorIntoView();
}

void TextEntry::OnSizeChanged(int newWide, int newTall) {
    Panel::OnSizeChanged(newWide, newTall);
    m_linesDirty = true;
}

void TextEntry::Paint() {
    if (m_linesDirty) {
        RecalculateLines();
    }
    ISurface* draw = surface();
    HFont font = CurrentFont();
    int fontTall = draw->GetFontTall(font);
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    int right = wide - kTextMargin - m_rightInset;
    int selStart = 0, selEnd = 0;
    bool selection = GetSelectedRange(selStart, selEnd);
    Color normal = IsEnabled() ? GetFgColor() : m_disabledFg;
    draw->DrawSetTextFont(font);
    bool showCursor = HasFocus() && m_editable && IsEnabled();
    for (int line = 0; line < static_cast<int>(m_lineStarts.size()); ++line) {
        int y = m_multiline ? kMultilineTop + line * fontTall : (tall - fontTall) / 2;
        int position = m_multiline ? m_lineStarts[static_cast<std::size_t>(line)] : m_scrollOffset;
        int end = LineEnd(line);
        int x = kTextMargin;
        // A line that runs past the edge of a field nobody is editing ends
        // in an ellipsis, so the person sees that there is more.
        bool mayCut = !m_multiline && !showCursor;
        int ellipsisWidth = mayCut ? draw->GetCharacterWidth(font, static_cast<int>(kEllipsis)) : 0;
        for (int units = 0;; position += units) {
            if (showCursor && position == m_cursorPos) {
                draw->DrawSetColor(m_cursorColor);
                draw->DrawFilledRect(x, y, x + 1, y + fontTall);
            }
            if (position >= end || x >= right) {
                break;
            }
            char32_t ch = DisplayChar(CodePointAt(m_text, position, &units));
            int width = draw->GetCharacterWidth(font, static_cast<int>(ch));
            // Measured only near the edge, so a long text costs no more per
            // paint than what is drawn of it.
            if (mayCut && x + width + ellipsisWidth > right && TextWidth(position, end) > right - x) {
                draw->DrawSetTextColor(normal);
                draw->DrawSetTextPos(x, y);
                DrawCodePoint(*draw, kEllipsis);
                break;
            }
            bool selected = selection && position >= selStart && position < selEnd;
            if (selected) {
                draw->DrawSetColor(m_selectionBg);
                draw->DrawFilledRect(x, y, x + width, y + fontTall);
            }
            draw->DrawSetTextColor(selected ? m_selectionFg : normal);
            draw->DrawSetTextPos(x, y);
            DrawCodePoint(*draw, ch);
            x += width;
        }
    }
}

// Focus and pointer --------------------------------------------------------------

void TextEntry::OnSetFocus() {
    if (m_selectAllOnFirstFocus && !m_hadFocusBefore) {
        SelectAllText(false);
    }
    m_hadFocusBefore = true;
    Panel::OnSetFocus();
}

void TextEntry::OnKillFocus() {
    m_selectingWithMouse = false;
    Panel::OnKillFocus();
}

void TextEntry::OnCursorMoved(int x, int y) {
    if (!m_selectingWithMouse) {
        return;
    }
    int position = PixelToCursorSpace(x, y);
    if (position != m_cursorPos) {
        m_cursorPos = position;
        ScrollCursorIntoView();
        Repaint();
    }
}

void TextEntry::OnMousePressed(MouseCode code) {
    if (!IsEnabled()) {
        return;
    }
    RequestFocus();
    if (code == MOUSE_RIGHT) {
        OpenEditMenu();
        return;
    }
    if (code != MOUSE_LEFT) {
        return;
    }
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    MoveCursor(PixelToCursorSpace(x, y), IsShiftDown());
    if (m_selectAnchor < 0) {
        m_selectAnchor = m_cursorPos;
    }
    m_selectingWithMouse = true;
    input()->SetMouseCapture(GetVPanel());
}

void TextEntry::OnMouseDoublePressed(MouseCode code) {
    if (code != MOUSE_LEFT || !IsEnabled()) {
        return;
    }
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    SelectWordAt(PixelToCursorSpace(x, y));
}

void TextEntry::OnMouseReleased(MouseCode code) {
    if (code != MOUSE_LEFT) {
        return;
    }
    m_selectingWithMouse = false;
    if (input()->GetMouseCapture() == GetVPanel()) {
        input()->SetMouseCapture(kNoPanel);
    }
    if (m_selectAnchor == m_cursorPos) {
        m_selectAnchor = -1;
    }
}

void TextEntry::OnMouseCaptureLost() { m_selectingWithMouse = false; }

void TextEntry::OpenEditMenu() {
    if (!m_editMenu) {
        m_editMenu = new Menu(this, "EditMenu");
        m_editMenu->AddMenuItem("CutItem", "#TextEntry_Cut", new KeyValues("DoCutSelected"), this);
        m_editMenu->AddMenuItem("CopyItem", "#TextEntry_Copy", new KeyValues("DoCopySelected"), this);
        m_editMenu->AddMenuItem("PasteItem", "#TextEntry_Paste", new KeyValues("DoPaste"), this);
        m_editMenu->AddActionSignalTarget(this);
    }
    int start = 0, end = 0;
    bool selection = GetSelectedRange(start, end) && !m_hideText;
    m_editMenu->SetItemEnabled("CutItem", selection && m_editable);
    m_editMenu->SetItemEnabled("CopyItem", selection);
    m_editMenu->SetItemEnabled("PasteItem", m_editable && system()->GetClipboardTextCount() > 0);
    m_editMenu->InvalidateLayout(true);
    PlaceMenuBesideOpener(this, m_editMenu, kAtPointer, 0);
    m_editMenu->SetVisible(true);
}

bool TextEntry::ReclaimFocusFromEditMenu() {
    if (!m_editMenu || input()->GetFocus() != m_editMenu->GetVPanel()) {
        return false;
    }
    RequestFocus();
    return true;
}

void TextEntry::OnEditMenuClose() { ReclaimFocusFromEditMenu(); }

// Keys -----------------------------------------------------------------------------

void TextEntry::OnKeyCodeTyped(KeyCode code) {
    bool shift = IsShiftDown();
    bool ctrl = IsCtrlDown();
    int start = 0, end = 0;
    bool selection = GetSelectedRange(start, end);
    switch (code) {
        case KEY_LEFT:
            if (selection && !shift) {
                MoveCursor(start, false);
            } else {
                MoveCursor(ctrl ? WordStart(m_cursorPos) : PreviousCodePointStart(m_text, m_cursorPos), shift);
            }
            return;
        case KEY_RIGHT:
            if (selection && !shift) {
                MoveCursor(end, false);
            } else {
                MoveCursor(ctrl ? WordEnd(m_cursorPos) : NextCodePointStart(m_text, m_cursorPos), shift);
            }
            return;
        case KEY_HOME:
            MoveCursor(ctrl || !m_multiline ? 0 : m_lineStarts[static_cast<std::size_t>(LineOf(m_cursorPos))],
                       shift);
            return;
        case KEY_END:
            MoveCursor(ctrl || !m_multiline ? GetTextLength() : LineEnd(LineOf(m_cursorPos)), shift);
            return;
        case KEY_UP:
        case KEY_DOWN:
            if (m_multiline) {
                int line = LineOf(m_cursorPos) + (code == KEY_UP ? -1 : 1);
                if (line >= 0 && line < static_cast<int>(m_lineStarts.size())) {
                    int column = m_cursorPos - m_lineStarts[static_cast<std::size_t>(LineOf(m_cursorPos))];
                    int target = m_lineStarts[static_cast<std::size_t>(line)] + column;
                    MoveCursor(std::min(target, LineEnd(line)), shift);
                }
                return;
            }
            break;
        case KEY_BACKSPACE:
            if (!m_editable) {
                break;
            }
            if (selection) {
                DeleteSelected();
            } else if (m_cursorPos > 0) {
                int from = ctrl ? WordStart(m_cursorPos) : PreviousCodePointStart(m_text, m_cursorPos);
                m_text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(m_cursorPos - from));
                m_cursorPos = from;
                m_selectAnchor = -1;
                EditDone(true);
            }
            return;
        case KEY_DELETE:
            if (!m_editable) {
                break;
            }
            if (shift) {
                CutSelected();
            } else if (selection) {
                DeleteSelected();
            } else if (m_cursorPos < GetTextLength()) {
                int to = ctrl ? WordEnd(m_cursorPos) : NextCodePointStart(m_text, m_cursorPos);
                m_text.erase(static_cast<std::size_t>(m_cursorPos), static_cast<std::size_t>(to - m_cursorPos));
                EditDone(true);
            }
            return;
        case KEY_INSERT:
            if (ctrl) {
                CopySelected();
                return;
            }
            if (shift) {
                Paste();
                return;
            }
            break;
        case KEY_ENTER:
        case KEY_PAD_ENTER:
            if (m_multiline && m_editable) {
                InsertText(u"\n");
                return;
            }
            break;
        case KEY_A:
        case KEY_C:
        case KEY_X:
        case KEY_V:
            if (ctrl && !IsAltDown()) {
                if (code == KEY_A) {
                    SelectAllText(false);
                } else if (code == KEY_C) {
                    CopySelected();
                } else if (code == KEY_X) {
                    CutSelected();
                } else {
                    Paste();
                }
                return;
            }
            break;
        default:
            break;
    }
    Panel::OnKeyCodeTyped(code);
}

void TextEntry::OnKeyTyped(wchar unichar) {
    // Control combinations are commands, never text.
    if (IsCtrlDown() && !IsAltDown()) {
        return;
    }
    if (unichar < 32 || unichar == 127) {
        return;
    }
    if (!m_editable) {
        Panel::OnKeyTyped(unichar);
        return;
    }
    InsertText(std::u16string(1, unichar));
}

// Requests and settings ------------------------------------------------------------

bool TextEntry::RequestInfo(KeyValues* outputData) {
    if (platform::CompareNoCase(outputData->GetName(), "GetText") == 0) {
        outputData->SetString("text", ToNarrow(m_text).c_str());
        return true;
    }
    return Panel::RequestInfo(outputData);
}

void TextEntry::ApplySettings(KeyValues* settings) {
    Panel::ApplySettings(settings);
    SetTextHidden(settings->GetInt("textHidden", m_hideText ? 1 : 0) != 0);
    SetEditable(settings->GetInt("editable", m_editable ? 1 : 0) != 0);
    SetAllowNonAsciiCharacters(settings->GetInt("unicode", m_allowNonAscii ? 1 : 0) != 0);
    SetAllowNumericInputOnly(settings->GetInt("NumericInputOnly", m_numericOnly ? 1 : 0) != 0);
    SetMaximumCharCount(settings->GetInt("maxchars", m_maxChars));
    SetSelectAllOnFirstFocus(settings->GetInt("selectallonfirstfocus", m_selectAllOnFirstFocus ? 1 : 0) != 0);
    const char* fontName = settings->GetString("font", "");
    if (*fontName) {
        if (IScheme* schemeData = scheme()->GetIScheme(GetScheme())) {
            if (HFont font = schemeData->GetFont(fontName, IsProportional())) {
                SetFont(font);
            }
        }
    }
}

void TextEntry::GetSettings(KeyValues* settings) {
    Panel::GetSettings(settings);
    settings->SetInt("textHidden", m_hideText ? 1 : 0);
    settings->SetInt("editable", m_editable ? 1 : 0);
    settings->SetInt("unicode", m_allowNonAscii ? 1 : 0);
    settings->SetInt("NumericInputOnly", m_numericOnly ? 1 : 0);
    settings->SetInt("maxchars", m_maxChars);
}

const char* TextEntry::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description),
                  "%s, bool textHidden, bool editable, bool unicode, bool NumericInputOnly, int maxchars",
                  Panel::GetDescription());
    return description;
}

}  // namespace vgui2
