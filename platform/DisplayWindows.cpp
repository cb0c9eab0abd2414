#include "platform/Display.h"

// The desktop is part of the system here: always present, never lost the
// way an X server connection is.

namespace platform {

const char* DisplayDrivers() { return "windows"; }

std::string DisplayName() { return std::string(); }

void WatchForDisplayLoss() {}

bool DisplayLost() { return false; }

}  // namespace platform
