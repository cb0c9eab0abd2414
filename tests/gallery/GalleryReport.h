// What the gallery program tells an outside driver, one line per event, so
// that a test working the real window from outside can find controls and
// see what a user changed: each popup when it shows (class, name, screen
// rectangle) followed by its visible direct children, moves and hiding of
// popups, and each new clipboard text. The window reports its children's
// action signals itself through the same sink.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "services/VGuiTypes.h"

class GalleryReport {
public:
    using Sink = std::function<void(const std::string& line)>;

    explicit GalleryReport(Sink sink) : m_sink(std::move(sink)) {}

    void Line(const std::string& line) { m_sink(line); }
    // Compares the popups and the clipboard with the last call; run it once
    // per GUI frame.
    void Poll();

private:
    struct Place {
        int x = 0;
        int y = 0;
    };

    void ReportShown(vgui2::VPANEL popup);
    void PollClipboard();

    Sink m_sink;
    std::map<vgui2::VPANEL, Place> m_shown;
    std::string m_clipboard;
    int m_frame = 0;
};

// A name fit for one word of a report line: empty names become "-" and
// spaces become underscores.
std::string ReportWord(const char* text);
