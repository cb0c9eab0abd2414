// The GUI-loop service "VGUI_ivgui006": panel ids and handles, posted and
// delayed messages delivered on the GUI thread, tick signals, deletion of
// panels marked for deletion, and the frame loop itself.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

inline constexpr const char* VGUI_IVGUI_INTERFACE_VERSION = "VGUI_ivgui006";

class IVGui {
public:
    // Connects the service to the others through the factory list.
    virtual bool Init(CreateInterfaceFn* factoryList, int numFactories) = 0;
    virtual void Shutdown() = 0;

    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() = 0;
    // One frame: input, due messages, think and layout, focus ticks,
    // deletions, painting; then wait for the next event or due message.
    virtual void RunFrame() = 0;

    virtual VPANEL AllocPanel() = 0;
    virtual void FreePanel(VPANEL panel) = 0;
    virtual HPanel PanelToHandle(VPANEL panel) = 0;
    virtual VPANEL HandleToPanel(HPanel handle) = 0;
    virtual void MarkPanelForDeletion(VPANEL panel) = 0;

    // Thread-safe. The message belongs to the service from this call on.
    virtual void PostMessage(VPANEL target, KeyValues* params, VPANEL from, float delaySeconds = 0.0f) = 0;

    // Sends "Tick" to the panel every intervalMilliseconds.
    virtual void AddTickSignal(VPANEL panel, int intervalMilliseconds = 0) = 0;
    virtual void RemoveTickSignal(VPANEL panel) = 0;

    // Toolkit diagnostics (developer log).
    virtual void DPrintf(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;

protected:
    ~IVGui() = default;
};

}  // namespace vgui2
