// The control gallery: a frame-less window with one of each toolkit control,
// laid out by "gallery.res", drawn by the real services. The gallery
// program shows it; the gallery tests drive it and read its pixels. Not
// part of the updater and not copied into the stage.
#pragma once

#include <string>

namespace vgui2 {
class EditablePanel;
class Panel;
}

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

private:
    bool StartServices(const std::string& stageFolder, const std::string& galleryFolder);

    vgui2::EditablePanel* m_window = nullptr;
    bool m_surfaceStarted = false;
    std::string m_error;
};
