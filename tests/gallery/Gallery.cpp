#include "tests/gallery/Gallery.h"

#include <strings.h>

#include "app/LinkedServices.h"
#include "modules/updfs/FileSystemStdio.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "services/ServicePointers.h"
#include "tests/gallery/GalleryReport.h"
#include "vgui2/ComboBox.h"
#include "vgui2/EditablePanel.h"
#include "vgui2/Frame.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Menu.h"
#include "vgui2/MenuButton.h"
#include "vgui2/QueryBox.h"
#include "vgui2/RichText.h"
#include "vgui2/ScrollBar.h"

namespace {

constexpr int kWindowX = 40;
constexpr int kWindowY = 40;
constexpr int kWindowWide = 440;
constexpr int kWindowTall = 420;
constexpr int kFrameX = 520;
constexpr int kFrameY = 80;
constexpr int kFrameWide = 240;
constexpr int kFrameTall = 150;
constexpr int kMenuButtonX = 220;
constexpr int kMenuButtonY = 354;
constexpr int kMenuButtonWide = 120;
constexpr int kMenuButtonTall = 26;

constexpr vgui2::wchar kRichText[] =
    u"Rich text view\n"
    u"Second line\n\n"
    u"A paragraph after a blank line, long enough to wrap at word starts.\n";

KeyValues* CommandMessage(const char* command) {
    auto* message = new KeyValues("Command");
    message->SetString("command", command);
    return message;
}

// The gallery window: it opens the query box on its button's command and
// reports the action signals of its children.
class GalleryWindow : public vgui2::EditablePanel {
    VGUI2_PANEL_CLASS(GalleryWindow, vgui2::EditablePanel);

public:
    GalleryWindow() : EditablePanel(nullptr, "Gallery") {}

    void SetReport(GalleryReport* report) { m_report = report; }

    bool OnMessage(KeyValues* params, vgui2::VPANEL fromPanel) override {
        if (m_report) {
            // Names share symbols without regard to case; compare so.
            if (strcasecmp(params->GetName(), "Command") == 0) {
                m_report->Line(std::string("command ") + params->GetString("command"));
            } else if (strcasecmp(params->GetName(), "TextChanged") == 0) {
                m_report->Line(std::string("TextChanged ") + params->GetString("text"));
            }
        }
        return EditablePanel::OnMessage(params, fromPanel);
    }

    void OnCommand(const char* command) override {
        if (strcasecmp(command, "openquery") != 0) {
            EditablePanel::OnCommand(command);
            return;
        }
        auto* box = new vgui2::QueryBox("Question", "Confirm the question?");
        box->AddActionSignalTarget(this);
        box->SetOKCommand(CommandMessage("queryok"));
        box->SetCancelCommand(CommandMessage("querycancel"));
        box->DoModal();
    }

private:
    GalleryReport* m_report = nullptr;
};

void GalleryWindow::AddMessageHandlers(vgui2::PanelMessageMap&) {}

}  // namespace

Gallery::Gallery(const std::string& stageFolder, const std::string& galleryFolder) {
    if (!StartServices(stageFolder, galleryFolder)) {
        return;
    }
    auto* window = new GalleryWindow();
    window->MakePopup(false);
    window->SetBounds(kWindowX, kWindowY, kWindowWide, kWindowTall);
    if (!window->LoadLayoutFile("gallery.res", "GALLERY")) {
        m_error = "gallery.res could not be read from " + galleryFolder;
        delete window;
        return;
    }
    // Ranges are not layout keys; the owner of a scroll bar sets them.
    if (auto* scroll = dynamic_cast<vgui2::ScrollBar*>(window->FindChildByName("HScroll"))) {
        scroll->SetRange(0, 100);
        scroll->SetRangeWindow(20);
        scroll->SetValue(30);
    }
    // So are the choices of a combo box.
    if (auto* combo = dynamic_cast<vgui2::ComboBox*>(window->FindChildByName("Combo"))) {
        for (const char* choice : {"Alpha", "Beta", "Gamma"}) {
            combo->AddItem(choice, nullptr);
        }
        combo->ActivateItemByRow(0);
    }
    // The factory makes no menu buttons, so this one is built here; its
    // items report their commands through the window.
    auto* menuButton = new vgui2::MenuButton(window, "MenuButton", "&Menu");
    menuButton->SetBounds(kMenuButtonX, kMenuButtonY, kMenuButtonWide, kMenuButtonTall);
    menuButton->SetContentAlignment(vgui2::Label::a_center);
    auto* menu = new vgui2::Menu(nullptr, "GalleryMenu");
    menu->AddMenuItem("First", "menufirst", window);
    menu->AddMenuItem("Second", "menusecond", window);
    menu->AddCheckableMenuItem("Checked", "menucheck", window);
    menuButton->SetMenu(menu);
    if (auto* rich = dynamic_cast<vgui2::RichText*>(window->FindChildByName("Rich"))) {
        rich->SetText(kRichText);
        rich->AppendText(u"A clickable run", vgui2::Color(240, 176, 60, 255), true);
    }
    window->SetVisible(true);
    m_window = window;
    m_frame = new vgui2::Frame(nullptr, "GalleryFrame", false);
    m_frame->SetTitle("Drag me by the caption", true);
    m_frame->SetBounds(kFrameX, kFrameY, kFrameWide, kFrameTall);
    m_frame->SetVisible(true);
}

void Gallery::StartReport(std::function<void(const std::string&)> sink) {
    m_report = std::make_unique<GalleryReport>(std::move(sink));
    if (auto* window = dynamic_cast<GalleryWindow*>(m_window)) {
        window->SetReport(m_report.get());
    }
}

bool Gallery::StartServices(const std::string& stageFolder, const std::string& galleryFolder) {
    if (!app::ConnectLinkedServices()) {
        m_error = "the surface did not start (is SDL_VIDEODRIVER set?)";
        return false;
    }
    m_surfaceStarted = true;
    TheFileSystem().AddSearchPath(stageFolder.c_str(), "ROOT");
    TheFileSystem().AddSearchPath((stageFolder + "/platform").c_str(), "PLATFORM");
    TheFileSystem().AddSearchPath(galleryFolder.c_str(), "GALLERY");
    SetModuleFileSystem(&TheFileSystem());
    if (!TheSchemeManager().LoadSchemeFromFile("resource/TrackerScheme.res", "TrackerScheme")) {
        m_error = "the scheme could not be loaded from " + stageFolder;
        return false;
    }
    TheVGui().Start();
    return true;
}

Gallery::~Gallery() {
    delete m_frame;
    delete m_window;
    if (m_surfaceStarted) {
        TheVGui().Stop();
        TheFileSystem().RemoveAllSearchPaths();
        TheSurfaceImpl().Shutdown();
        vgui2::g_services = {};
    }
}

vgui2::Panel* Gallery::Control(const char* name) { return m_window ? m_window->FindChildByName(name) : nullptr; }

void Gallery::RunFrames(int count) {
    for (int frame = 0; frame < count; ++frame) {
        TheVGui().RunFrame();
        if (m_report) {
            m_report->Poll();
        }
    }
}

bool Gallery::Click(const char* name) {
    vgui2::Panel* control = Control(name);
    if (!control) {
        return false;
    }
    int x = 0, y = 0;
    control->LocalToScreen(x, y);
    TheInput().InternalCursorMoved(x + control->GetWide() / 2, y + control->GetTall() / 2);
    TheInput().InternalMousePressed(vgui2::MOUSE_LEFT);
    TheInput().InternalMouseReleased(vgui2::MOUSE_LEFT);
    RunFrames(2);
    return true;
}

bool Gallery::SaveScreenshot(const char* fileName) {
    return m_window && TheSurface().SaveScreenshot(m_window->GetVPanel(), fileName);
}
