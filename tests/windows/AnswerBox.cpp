// Reads and answers the message box of a Windows program that a test on
// the build machine drives from outside Wine:
//
//   answer_box FOLDER SECONDS
//
// waits up to SECONDS for a message box of a program whose executable lies
// in FOLDER (a Windows path), prints its caption, a line feed and its text
// in UTF-8, and answers it with OK. Exit status 0 when a box was answered,
// 1 when none came, 2 on bad arguments.
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/WideText.h"
#include "tests/windows/MessageBoxes.h"

namespace {

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(_wtoi(argv[2]));
    while (std::chrono::steady_clock::now() < deadline) {
        if (void* box = wintest::FindMessageBoxFrom(argv[1])) {
            wintest::SeenBox seen = wintest::AnswerMessageBox(box, deadline);
            Print(seen.caption + "\n" + seen.text);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 1;
}
