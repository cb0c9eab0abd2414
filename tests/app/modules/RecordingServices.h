// Stand-ins for the GUI-loop and key-values services that only note what
// start-up asks of them, through a callback, so start-up can be watched both
// in process and inside a stand-in module.
#pragma once

#include <string>

#include "services/IKeyValuesSystem.h"
#include "services/IVGui.h"

namespace testsupport {

using NoteFn = void (*)(const std::string& line);

class RecordingVGui final : public vgui2::IVGui {
public:
    explicit RecordingVGui(NoteFn note) : m_note(note) {}

    bool initResult = true;
    int initCalls = 0;

    bool Init(CreateInterfaceFn*, int numFactories) override {
        ++initCalls;
        m_note("init " + std::to_string(numFactories));
        return initResult;
    }
    void Shutdown() override {}
    void Start() override { m_running = true; }
    void Stop() override { m_running = false; }
    bool IsRunning() override { return m_running; }
    void RunFrame() override { m_note("frame"); }
    vgui2::VPANEL AllocPanel() override { return vgui2::kNoPanel; }
    void FreePanel(vgui2::VPANEL) override {}
    vgui2::HPanel PanelToHandle(vgui2::VPANEL) override { return vgui2::kNoHandle; }
    vgui2::VPANEL HandleToPanel(vgui2::HPanel) override { return vgui2::kNoPanel; }
    void MarkPanelForDeletion(vgui2::VPANEL) override {}
    void PostMessage(vgui2::VPANEL, KeyValues*, vgui2::VPANEL, float) override {}
    void AddTickSignal(vgui2::VPANEL, int) override {}
    void RemoveTickSignal(vgui2::VPANEL) override {}
    void DPrintf(const char*, ...) override {}

private:
    NoteFn m_note;
    bool m_running = false;
};

// Passes every call on to a real key-values service and notes the node size
// registered.
class RecordingKeyValues final : public IKeyValuesSystem {
public:
    RecordingKeyValues(IKeyValuesSystem& real, NoteFn note) : m_real(real), m_note(note) {}

    void RegisterSizeofKeyValues(int size) override {
        m_note("size " + std::to_string(size));
        m_real.RegisterSizeofKeyValues(size);
    }
    void* AllocKeyValuesMemory(int size) override { return m_real.AllocKeyValuesMemory(size); }
    void FreeKeyValuesMemory(void* memory) override { m_real.FreeKeyValuesMemory(memory); }
    vgui2::HKeySymbol GetSymbolForString(const char* name) override { return m_real.GetSymbolForString(name); }
    const char* GetStringForSymbol(vgui2::HKeySymbol symbol) override { return m_real.GetStringForSymbol(symbol); }

private:
    IKeyValuesSystem& m_real;
    NoteFn m_note;
};

}  // namespace testsupport
