// The GUI loop's wait between frames on SDL's event queue: it sleeps in
// SDL_WaitEventTimeout and is woken from any thread by a pushed user event.
// Wake-ups are coalesced so that a worker reporting progress in a tight loop
// cannot flood the queue. Only active between Activate and Deactivate,
// which the surface calls around the life of SDL's video subsystem.
#pragma once

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdint>

#include "modules/updvgui2/ModuleServices.h"

class CSdlEventWaiter final : public IEventWaiter {
public:
    // Registers the wake-up event type; false when SDL has none left.
    bool Activate();
    void Deactivate();

    void WaitForEvents(double timeoutSeconds) override;
    void Wake() override;

    // True for the waiter's own wake-up events, which the pump drops.
    bool ConsumeIfWake(const SDL_Event& event);

    // Milliseconds to wait for a timeout in seconds: rounded up, because a
    // wait truncated to 0 would turn the loop into a spin.
    static int TimeoutMilliseconds(double timeoutSeconds);

private:
    std::atomic<std::uint32_t> m_eventType{0};
    std::atomic<bool> m_wakePending{false};
};
