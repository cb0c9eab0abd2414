#include "app/Viewport.h"

#include "services/IScheme.h"
#include "services/ServicePointers.h"
#include "ui/UpdaterFrame.h"
#include "vgui2/PanelHandles.h"

void CTarnViewport::AddMessageHandlers(vgui2::PanelMessageMap&) {}

CTarnViewport::CTarnViewport() : EditablePanel(nullptr, "CTarnViewport"), m_guiThread(std::this_thread::get_id()) {
    if (vgui2::HScheme scheme = vgui2::scheme()->GetScheme("TrackerScheme")) {
        SetScheme(scheme);
    }
    if (IsProportional()) {
        SetProportional(false);
    }
    InvalidateLayout(false, false);
    SetSize(0, 0);
    if (CUpdaterFrame* frame = GetUpdaterFrame()) {
        frame->Activate();
    }
}

CTarnViewport::~CTarnViewport() = default;

CUpdaterFrame* CTarnViewport::ResolveFrame() {
    return dynamic_cast<CUpdaterFrame*>(vgui2::PanelFromHandle(m_updaterFrame));
}

CUpdaterFrame* CTarnViewport::GetUpdaterFrame() {
    if (CUpdaterFrame* frame = ResolveFrame()) {
        return frame;
    }
    if (std::this_thread::get_id() != m_guiThread) {
        return nullptr;
    }
    auto* frame = new CUpdaterFrame(this);
    m_updaterFrame = vgui2::HandleOf(frame);
    return ResolveFrame();
}

namespace app {

CTarnViewport* g_viewport = nullptr;

CUpdaterFrame* UpdaterFrameOfViewport() { return g_viewport ? g_viewport->GetUpdaterFrame() : nullptr; }

}  // namespace app
