// For programs that link the service implementations into themselves rather
// than loading the modules as the updater does (tests, the control gallery,
// benchmarks): starts the surface and points the process-wide service
// pointers at the linked services.
#pragma once

namespace app {

// The surface renders with whatever SDL_VIDEODRIVER names. False when it
// cannot start; the pointers are then left as they were.
bool ConnectLinkedServices();

}  // namespace app
