#include "modules/updvgui2/VGui.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

#include "modules/updvgui2/InputSystem.h"
#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/PanelService.h"
#include "vgui2/KeyValues.h"

using vgui2::kNoPanel;
using vgui2::VPANEL;

namespace {

// Frames are paced at about 60 a second: work that arrives sooner (a burst of
// input, a worker publishing every block) waits for the next frame instead
// of making the loop spin.
constexpr std::chrono::microseconds kFrameInterval{16667};
// With nothing due, the loop sleeps until an event, a wake-up or this long,
// so that an idle window costs next to nothing while think steps still run
// a few times a second.
constexpr std::chrono::milliseconds kIdleWait{250};

// The waiter used until the surface installs the platform's event wait.
class ConditionEventWaiter final : public IEventWaiter {
public:
    void WaitForEvents(double timeoutSeconds) override {
        std::unique_lock<std::mutex> lock(m_lock);
        m_wakeup.wait_for(lock, std::chrono::duration<double>(std::max(timeoutSeconds, 0.0)),
                          [this] { return m_woken; });
        m_woken = false;
    }

    void Wake() override {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_woken = true;
        }
        m_wakeup.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_wakeup;
    bool m_woken = false;
};

ConditionEventWaiter& DefaultWaiter() {
    static ConditionEventWaiter waiter;
    return waiter;
}

std::atomic<IEventWaiter*> g_eventWaiter{nullptr};

void WriteToStandardError(const char* text) { std::fputs(text, stderr); }

}  // namespace

void SetEventWaiter(IEventWaiter* waiter) { g_eventWaiter.store(waiter); }

IEventWaiter* CurrentEventWaiter() {
    IEventWaiter* waiter = g_eventWaiter.load();
    return waiter ? waiter : &DefaultWaiter();
}

bool CVGui::Init(CreateInterfaceFn* factoryList, int numFactories) {
    for (int i = 0; factoryList && i < numFactories; ++i) {
        if (!factoryList[i]) {
            continue;
        }
        if (void* fileSystem = factoryList[i](FILESYSTEM_INTERFACE_VERSION, nullptr)) {
            SetModuleFileSystem(static_cast<IFileSystem*>(fileSystem));
            break;
        }
    }
    return true;
}

void CVGui::Shutdown() {
    m_running = false;
    std::map<QueueKey, QueuedMessage> dropped;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        dropped.swap(m_queue);
    }
    for (auto& [key, queued] : dropped) {
        queued.message->deleteThis();
    }
    m_tickSignals.clear();
    m_markedForDeletion.clear();
}

void CVGui::Start() { m_running = true; }

void CVGui::Stop() {
    m_running = false;
    CurrentEventWaiter()->Wake();
}

bool CVGui::IsRunning() { return m_running; }

void CVGui::RunFrame() {
    Clock::time_point frameStart = Clock::now();
    TheInputImpl().BeginFrame();
    if (vgui2::ISurface* surface = ModuleSurface()) {
        surface->RunFrame();
    }
    DeliverDueMessages();
    for (VPANEL root : ThePanelServiceImpl().RootPanels()) {
        ThinkTraverse(root);
    }
    SendTickSignals();
    SendFocusTicks();
    DeleteMarkedPanels();
    if (vgui2::ISurface* surface = ModuleSurface()) {
        surface->PaintTraverse(surface->GetEmbeddedPanel());
    }
    WaitForNextFrame(frameStart);
}

void CVGui::DeliverDueMessages() {
    // Only what was posted before this step is delivered now; a handler that
    // posts again is served in the next frame, so a message that re-posts
    // itself cannot keep the frame from ending.
    std::vector<QueuedMessage> due;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        Clock::time_point now = Clock::now();
        for (auto it = m_queue.begin(); it != m_queue.end() && it->first.first <= now;) {
            due.push_back(it->second);
            it = m_queue.erase(it);
        }
    }
    CPanelService& panels = ThePanelServiceImpl();
    for (const QueuedMessage& queued : due) {
        // An earlier message of this batch may have deleted the target.
        if (panels.Exists(queued.target)) {
            panels.SendMessage(queued.target, queued.message, queued.from);
        }
        queued.message->deleteThis();
    }
}

void CVGui::ThinkTraverse(VPANEL panel) {
    CPanelService& panels = ThePanelServiceImpl();
    if (!panels.IsVisible(panel)) {
        return;
    }
    panels.PerformApplySchemeSettings(panel);
    panels.Think(panel);
    // Thinking may add, remove or delete children; walk a snapshot and skip
    // the ones that went away.
    std::vector<VPANEL> children;
    for (int i = 0, count = panels.GetChildCount(panel); i < count; ++i) {
        children.push_back(panels.GetChild(panel, i));
    }
    for (VPANEL child : children) {
        if (panels.Exists(child) && panels.GetParent(child) == panel) {
            ThinkTraverse(child);
        }
    }
}

void CVGui::SendTickSignals() {
    Clock::time_point now = Clock::now();
    std::vector<VPANEL> due;
    for (TickSignal& tick : m_tickSignals) {
        if (tick.next <= now) {
            due.push_back(tick.panel);
            tick.next = now + tick.interval;
        }
    }
    for (VPANEL panel : due) {
        KeyValues* message = new KeyValues("Tick");
        ThePanelServiceImpl().SendMessage(panel, message, kNoPanel);
        message->deleteThis();
    }
}

void CVGui::SendFocusTicks() {
    CInputSystem& input = TheInputImpl();
    const std::pair<VPANEL, const char*> ticks[] = {
        {input.GetFocus(), "KeyFocusTicked"},
        {input.GetMouseOver(), "MouseFocusTicked"},
    };
    for (const auto& [panel, name] : ticks) {
        if (panel != kNoPanel && ThePanelServiceImpl().Exists(panel)) {
            KeyValues* message = new KeyValues(name);
            ThePanelServiceImpl().SendMessage(panel, message, kNoPanel);
            message->deleteThis();
        }
    }
}

void CVGui::DeleteMarkedPanels() {
    std::vector<VPANEL> marked;
    marked.swap(m_markedForDeletion);
    for (VPANEL panel : marked) {
        // A panel marked together with its parent may already be gone.
        if (ThePanelServiceImpl().Exists(panel)) {
            ThePanelServiceImpl().DeletePanel(panel);
        }
    }
}

void CVGui::WaitForNextFrame(Clock::time_point frameStart) {
    Clock::time_point nextFrame = frameStart + kFrameInterval;
    if (m_running && nextFrame > Clock::now()) {
        std::this_thread::sleep_until(nextFrame);
    }
    Clock::time_point wakeAt = frameStart + kIdleWait;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (!m_queue.empty()) {
            wakeAt = std::min(wakeAt, m_queue.begin()->first.first);
        }
    }
    for (const TickSignal& tick : m_tickSignals) {
        wakeAt = std::min(wakeAt, tick.next);
    }
    Clock::time_point now = Clock::now();
    if (!m_running || wakeAt <= now) {
        return;
    }
    CurrentEventWaiter()->WaitForEvents(std::chrono::duration<double>(wakeAt - now).count());
}

VPANEL CVGui::AllocPanel() {
    VPANEL panel = m_nextPanelId++;
    ThePanelServiceImpl().AddPanel(panel);
    return panel;
}

void CVGui::FreePanel(VPANEL panel) {
    CPanelService& panels = ThePanelServiceImpl();
    if (!panels.Exists(panel)) {
        return;
    }
    TheInputImpl().PanelDeleted(panel);
    RemoveTickSignal(panel);
    std::erase(m_markedForDeletion, panel);
    DropQueuedMessages(panel);
    if (vgui2::ISurface* surface = ModuleSurface()) {
        surface->ReleasePanel(panel);
    }
    panels.RemovePanel(panel);
}

void CVGui::DropQueuedMessages(VPANEL target) {
    std::vector<KeyValues*> dropped;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        for (auto it = m_queue.begin(); it != m_queue.end();) {
            if (it->second.target == target) {
                dropped.push_back(it->second.message);
                it = m_queue.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (KeyValues* message : dropped) {
        message->deleteThis();
    }
}

vgui2::HPanel CVGui::PanelToHandle(VPANEL panel) {
    if (panel == kNoPanel || panel > static_cast<VPANEL>(INT_MAX) || !ThePanelServiceImpl().Exists(panel)) {
        return vgui2::kNoHandle;
    }
    return static_cast<vgui2::HPanel>(panel);
}

VPANEL CVGui::HandleToPanel(vgui2::HPanel handle) {
    if (handle <= 0) {
        return kNoPanel;
    }
    VPANEL panel = static_cast<VPANEL>(handle);
    return ThePanelServiceImpl().Exists(panel) ? panel : kNoPanel;
}

void CVGui::MarkPanelForDeletion(VPANEL panel) {
    if (ThePanelServiceImpl().Exists(panel) &&
        std::find(m_markedForDeletion.begin(), m_markedForDeletion.end(), panel) == m_markedForDeletion.end()) {
        m_markedForDeletion.push_back(panel);
    }
}

void CVGui::PostMessage(VPANEL target, KeyValues* params, VPANEL from, float delaySeconds) {
    if (!params) {
        return;
    }
    if (target == kNoPanel) {
        params->deleteThis();
        return;
    }
    Clock::time_point due = Clock::now();
    if (delaySeconds > 0.0f) {
        due += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delaySeconds));
    }
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_queue.emplace(QueueKey{due, m_nextSequence++}, QueuedMessage{target, from, params});
    }
    CurrentEventWaiter()->Wake();
}

void CVGui::AddTickSignal(VPANEL panel, int intervalMilliseconds) {
    Clock::duration interval = std::chrono::milliseconds(std::max(intervalMilliseconds, 0));
    Clock::time_point next = Clock::now() + interval;
    for (TickSignal& tick : m_tickSignals) {
        if (tick.panel == panel) {
            tick.interval = interval;
            tick.next = next;
            return;
        }
    }
    if (ThePanelServiceImpl().Exists(panel)) {
        m_tickSignals.push_back(TickSignal{panel, interval, next});
    }
}

void CVGui::RemoveTickSignal(VPANEL panel) {
    std::erase_if(m_tickSignals, [panel](const TickSignal& tick) { return tick.panel == panel; });
}

void CVGui::DPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    DebugOutputFn output = m_debugOutput.load();
    (output ? output : WriteToStandardError)(text.c_str());
}

void CVGui::SetDebugOutput(DebugOutputFn output) { m_debugOutput.store(output); }

std::size_t CVGui::PendingMessageCount() {
    std::lock_guard<std::mutex> lock(m_queueLock);
    return m_queue.size();
}

CVGui& TheVGuiImpl() {
    static CVGui instance;
    return instance;
}

vgui2::IVGui& TheVGui() { return TheVGuiImpl(); }
