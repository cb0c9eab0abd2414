#include "modules/updvgui2/SdlEventWaiter.h"

#include <climits>
#include <cmath>

bool CSdlEventWaiter::Activate() {
    if (m_eventType.load() != 0) {
        return true;
    }
    Uint32 type = SDL_RegisterEvents(1);
    if (type == static_cast<Uint32>(-1)) {
        return false;
    }
    m_wakePending = false;
    m_eventType = type;
    return true;
}

void CSdlEventWaiter::Deactivate() { m_eventType = 0; }

int CSdlEventWaiter::TimeoutMilliseconds(double timeoutSeconds) {
    if (!(timeoutSeconds > 0.0)) {
        return 0;
    }
    double milliseconds = std::ceil(timeoutSeconds * 1000.0);
    return milliseconds >= INT_MAX ? INT_MAX : static_cast<int>(milliseconds);
}

void CSdlEventWaiter::WaitForEvents(double timeoutSeconds) {
    int milliseconds = TimeoutMilliseconds(timeoutSeconds);
    if (m_eventType.load() == 0 || milliseconds == 0) {
        return;
    }
    // Re-armed on every wait, not only when the pump sees the wake-up event,
    // so that an event lost on the way (a flushed queue) cannot leave the
    // loop deaf to posts. At worst one extra wake-up is queued per wait.
    m_wakePending = false;
    // A null event leaves whatever arrived in the queue for the next pump.
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

void CSdlEventWaiter::Wake() {
    Uint32 type = m_eventType.load();
    if (type == 0 || m_wakePending.exchange(true)) {
        return;
    }
    SDL_Event event{};
    event.type = type;
    if (SDL_PushEvent(&event) != 1) {
        m_wakePending = false;
    }
}

bool CSdlEventWaiter::ConsumeIfWake(const SDL_Event& event) {
    Uint32 type = m_eventType.load();
    if (type == 0 || event.type != type) {
        return false;
    }
    m_wakePending = false;
    return true;
}
