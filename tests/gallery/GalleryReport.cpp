#include "tests/gallery/GalleryReport.h"

#include <set>
#include <string>

#include "services/IPanel.h"
#include "services/ISurface.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"

namespace {

// The clipboard is read from the desktop, which costs a round trip; a few
// times a second is plenty for a driver that waits on the result.
constexpr int kClipboardPollFrames = 10;
constexpr int kClipboardBytes = 4096;

std::string Rectangle(vgui2::VPANEL panel) {
    int x = 0, y = 0, wide = 0, tall = 0;
    vgui2::ipanel()->GetAbsPos(panel, x, y);
    vgui2::ipanel()->GetSize(panel, wide, tall);
    return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(wide) + " " + std::to_string(tall);
}

std::string Describe(vgui2::VPANEL panel) {
    return ReportWord(vgui2::ipanel()->GetClassName(panel)) + " " + ReportWord(vgui2::ipanel()->GetName(panel));
}

// Line ends would split a report line; they are written as escapes.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::string ReportWord(const char* text) {
    std::string word = text && *text ? text : "-";
    for (char& c : word) {
        if (c == ' ' || c == '\t') {
            c = '_';
        }
    }
    return word;
}

void GalleryReport::Poll() {
    vgui2::ISurface* surface = vgui2::surface();
    vgui2::IPanel* panels = vgui2::ipanel();
    std::set<vgui2::VPANEL> visible;
    for (int i = 0, count = surface->GetPopupCount(); i < count; ++i) {
        vgui2::VPANEL popup = surface->GetPopup(i);
        if (!panels->IsVisible(popup)) {
            continue;
        }
        visible.insert(popup);
        auto seen = m_shown.find(popup);
        if (seen == m_shown.end()) {
            ReportShown(popup);
            continue;
        }
        int x = 0, y = 0;
        panels->GetPos(popup, x, y);
        if (x != seen->second.x || y != seen->second.y) {
            seen->second = {x, y};
            m_sink("moved " + Describe(popup) + " " + std::to_string(x) + " " + std::to_string(y));
        }
    }
    for (auto it = m_shown.begin(); it != m_shown.end();) {
        if (visible.count(it->first)) {
            ++it;
            continue;
        }
        // A deleted popup can no longer be described; only a hidden one is.
        if (panels->Client(it->first)) {
            m_sink("hidden " + Describe(it->first));
        } else {
            m_sink("gone");
        }
        it = m_shown.erase(it);
    }
    if (++m_frame % kClipboardPollFrames == 0) {
        PollClipboard();
    }
}

void GalleryReport::ReportShown(vgui2::VPANEL popup) {
    vgui2::IPanel* panels = vgui2::ipanel();
    int x = 0, y = 0;
    panels->GetPos(popup, x, y);
    m_shown[popup] = {x, y};
    m_sink("popup " + Describe(popup) + " " + Rectangle(popup));
    for (int i = 0, count = panels->GetChildCount(popup); i < count; ++i) {
        vgui2::VPANEL child = panels->GetChild(popup, i);
        if (panels->IsVisible(child) && !panels->IsPopup(child)) {
            m_sink("child " + ReportWord(panels->GetName(popup)) + " " + Describe(child) + " " + Rectangle(child));
        }
    }
}

void GalleryReport::PollClipboard() {
    char text[kClipboardBytes];
    vgui2::system()->GetClipboardText(0, text, sizeof(text));
    if (m_clipboard != text) {
        m_clipboard = text;
        m_sink("clipboard " + OneLine(m_clipboard));
    }
}
