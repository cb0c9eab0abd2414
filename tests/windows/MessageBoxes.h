// Message boxes of other programs, found, read and answered from outside as
// a person would: the system's box class, its caption and its text.
#pragma once

#include <chrono>
#include <string>

namespace wintest {

struct SeenBox {
    std::string caption;
    std::string text;
};

// A visible message box of the process with that id; null when none.
void* FindMessageBoxOf(unsigned long processId);

// A visible message box of a program whose executable lies in the folder,
// its full path in any case; null when none.
void* FindMessageBoxFrom(const std::wstring& folder);

// Reads the box, answers it with OK and waits until it is gone.
SeenBox AnswerMessageBox(void* box, std::chrono::steady_clock::time_point deadline);

}  // namespace wintest
