#include "tests/windows/MessageBoxes.h"

#include <windows.h>

#include <cwctype>
#include <functional>
#include <thread>

#include "platform/WideText.h"

namespace wintest {

namespace {

constexpr WORD kBoxTextId = 0xFFFF;

std::string WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return platform::NarrowReplacing(text);
}

struct BoxSearch {
    std::function<bool(DWORD)> ownerMatches;
    HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (!IsWindowVisible(window) || std::wstring(className) != L"#32770") {
        return TRUE;
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->ownerMatches(owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindBoxOwnedBy(std::function<bool(DWORD)> ownerMatches) {
    BoxSearch search{std::move(ownerMatches)};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring Lowered(std::wstring text) {
    for (wchar_t& character : text) {
        character = static_cast<wchar_t>(std::towlower(character));
    }
    return text;
}

std::wstring ImagePath(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        return {};
    }
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    bool read = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return read ? std::wstring(path, size) : std::wstring();
}

}  // namespace

void* FindMessageBoxOf(unsigned long processId) {
    return FindBoxOwnedBy([processId](DWORD owner) { return owner == processId; });
}

void* FindMessageBoxFrom(const std::wstring& folder) {
    std::wstring prefix = Lowered(folder);
    if (!prefix.empty() && prefix.back() != L'\\') {
        prefix += L'\\';
    }
    return FindBoxOwnedBy([&prefix](DWORD owner) { return Lowered(ImagePath(owner)).rfind(prefix, 0) == 0; });
}

SeenBox AnswerMessageBox(void* box, std::chrono::steady_clock::time_point deadline) {
    HWND window = static_cast<HWND>(box);
    SeenBox seen{WindowText(window), WindowText(GetDlgItem(window, kBoxTextId))};
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    // The box takes a moment to go; it must not be read twice.
    while (IsWindow(window) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return seen;
}

}  // namespace wintest
