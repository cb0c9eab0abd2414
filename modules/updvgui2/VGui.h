// The GUI-loop service: panel ids and handles, the queue of posted messages,
// tick signals, deferred deletion and the frame itself. Ids are never
// reused, so a handle is simply the id and resolves only while the panel
// lives. Posting is the one thread-safe operation; everything else belongs
// to the GUI thread. The frame pumps events and paints through the surface
// only when one has registered itself (ModuleSurface), so the loop also runs
// headless. It does not bring the surface's platform layer up; that is the
// surface's own initialisation.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "services/IVGui.h"

class CVGui final : public vgui2::IVGui {
public:
    using Clock = std::chrono::steady_clock;
    using DebugOutputFn = void (*)(const char* text);

    bool Init(CreateInterfaceFn* factoryList, int numFactories) override;
    void Shutdown() override;

    void Start() override;
    void Stop() override;
    bool IsRunning() override;
    void RunFrame() override;

    vgui2::VPANEL AllocPanel() override;
    void FreePanel(vgui2::VPANEL panel) override;
    vgui2::HPanel PanelToHandle(vgui2::VPANEL panel) override;
    vgui2::VPANEL HandleToPanel(vgui2::HPanel handle) override;
    void MarkPanelForDeletion(vgui2::VPANEL panel) override;

    void PostMessage(vgui2::VPANEL target, KeyValues* params, vgui2::VPANEL from, float delaySeconds = 0.0f) override;

    void AddTickSignal(vgui2::VPANEL panel, int intervalMilliseconds = 0) override;
    void RemoveTickSignal(vgui2::VPANEL panel) override;

    void DPrintf(const char* format, ...) override __attribute__((format(printf, 2, 3)));

    // Where diagnostics go; standard error unless replaced (tests read them).
    void SetDebugOutput(DebugOutputFn output);
    // Messages still waiting, due or not.
    std::size_t PendingMessageCount();

private:
    struct QueuedMessage {
        vgui2::VPANEL target;
        vgui2::VPANEL from;
        KeyValues* message;
    };
    // Due time first, then posting order, so equal delays keep their order.
    using QueueKey = std::pair<Clock::time_point, std::uint64_t>;

    struct TickSignal {
        vgui2::VPANEL panel;
        Clock::duration interval;
        Clock::time_point next;
    };

    void DeliverDueMessages();
    void ThinkTraverse(vgui2::VPANEL panel);
    void SendTickSignals();
    void SendFocusTicks();
    void DeleteMarkedPanels();
    void WaitForNextFrame(Clock::time_point frameStart);
    void DropQueuedMessages(vgui2::VPANEL target);

    std::mutex m_queueLock;
    std::map<QueueKey, QueuedMessage> m_queue;
    std::uint64_t m_nextSequence = 0;

    std::atomic<bool> m_running{false};
    vgui2::VPANEL m_nextPanelId = 1;
    std::vector<vgui2::VPANEL> m_markedForDeletion;
    std::vector<TickSignal> m_tickSignals;
    std::atomic<DebugOutputFn> m_debugOutput{nullptr};
};

// The module's one instance, with the extra operations above.
CVGui& TheVGuiImpl();
