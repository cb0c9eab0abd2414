// The system's own part of the fatal report: the modal box alone, shown
// once the standard-error line is written and no test handler took over.
#pragma once

namespace platform {

void ShowSystemErrorBox(const char* caption, const char* text);

}  // namespace platform
