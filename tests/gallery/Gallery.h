// The control gallery: a frame-less window with one of each toolkit control,
// laid out by "gallery.res", and a movable frame beside it, drawn by the
// real services. The gallery program shows them; the gallery tests drive
// them and read their pixels. Not part of the updater and not copied into
// the stage.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vgui2 {
class EditablePanel;
class Frame;
class Panel;
}

class GalleryReport;

class Gallery {
public:
    // The stage folder supplies the scheme; the gallery folder the layout.
    Gallery(const std::string& stageFolder, const std::string& galleryFolder);
    ~Gallery();

    Gallery(const Gallery&) = delete;
    Gallery& operator=(const Gallery&) = delete;

    // False, with the reason, when the services or the layout did not come
    // up.
    bool IsReady() const { return m_window != nullptr; }
    const std::string& Error() const { return m_error; }

    vgui2::EditablePanel* Window() { return m_window; }
    vgui2::Panel* Control(const char* name);
    // Runs GUI frames (input, layout, painting).
    void RunFrames(int count);
    // Clicks the middle of a control with the left button, as a user would,
    // and lets two frames pass; false when there is no such control.
    bool Click(const char* name);
    bool SaveScreenshot(const char* fileName);
    // From now on every frame run reports to the sink what a user changed
    // (one line per event, see GalleryReport).
    void StartReport(std::function<void(const std::string&)> sink);

private:
    bool StartServices(const std::string& stageFolder, const std::string& galleryFolder);

    vgui2::EditablePanel* m_window = nullptr;
    vgui2::Frame* m_frame = nullptr;
    std::unique_ptr<GalleryReport> m_report;
    bool m_surfaceStarted = false;
    std::string m_error;
};
