#include "platform/Process.h"

#include <windows.h>
#include <tlhelp32.h>

#include "platform/WideText.h"

namespace platform {

namespace {

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle() {
        if (IsValid()) {
            CloseHandle(m_handle);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace

bool ForEachProcess(const std::function<bool(const ProcessEntry&)>& visitor) {
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid()) {
        return false;
    }
    PROCESSENTRY32W process;
    process.dwSize = sizeof(process);
    for (BOOL more = Process32FirstW(snapshot.Get(), &process); more; more = Process32NextW(snapshot.Get(), &process)) {
        ProcessEntry entry;
        entry.name = NarrowReplacing(process.szExeFile);
        entry.id = static_cast<int>(process.th32ProcessID);
        if (!visitor(entry)) {
            break;
        }
    }
    return true;
}

bool ProcessImageOf(int processId, ProcessImage& image) {
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
    if (!process.IsValid()) {
        return false;
    }
    std::optional<std::wstring> wide = QueryWideText([&process](wchar_t* buffer, DWORD size) -> DWORD {
        DWORD length = size;
        if (QueryFullProcessImageNameW(process.Get(), 0, buffer, &length)) {
            return length;
        }
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size * 2 : 0;
    });
    std::optional<std::string> path = wide ? Narrow(*wide) : std::nullopt;
    if (!path) {
        return false;
    }
    image = {*path, false};
    return true;
}

bool CanOpenForWriting(const std::string& path) {
    std::optional<std::wstring> wide = Widen(path);
    if (!wide) {
        return false;
    }
    // No sharing: a running program's file, or one open elsewhere, refuses.
    ScopedHandle file(
        CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

std::string OwnExecutablePath() {
    std::optional<std::wstring> wide = QueryWideText([](wchar_t* buffer, DWORD size) -> DWORD {
        DWORD length = GetModuleFileNameW(nullptr, buffer, size);
        // A full buffer means the name was cut.
        return length == size ? size * 2 : length;
    });
    std::optional<std::string> path = wide ? Narrow(*wide) : std::nullopt;
    return path.value_or(std::string());
}

}  // namespace platform
