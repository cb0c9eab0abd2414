#include "tests/windows/WindowsProcess.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/WideText.h"
#include "tests/support/TestSupport.h"

namespace wintest {

namespace {

using platform::WidenReplacing;

PROCESS_INFORMATION Start(const std::string& program, HANDLE standardError) {
    std::wstring path = WidenReplacing(program);
    std::wstring commandLine = L"\"" + path + L"\"";
    std::wstring folder = std::filesystem::path(path).parent_path().wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (standardError) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = standardError;
        startup.hStdError = standardError;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, standardError != nullptr, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return PROCESS_INFORMATION{};
    }
    CloseHandle(process.hThread);
    return process;
}

}  // namespace

RunningGame::RunningGame(const std::string& path) {
    std::filesystem::path target = testsupport::PathOf(path);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(testsupport::PathOf(UPD_STAND_IN_GAME), target,
                               std::filesystem::copy_options::overwrite_existing);
    m_process = Start(path, nullptr).hProcess;
}

RunningGame::~RunningGame() {
    if (m_process) {
        TerminateProcess(m_process, 0);
        WaitForSingleObject(m_process, 10000);
        CloseHandle(m_process);
    }
}

bool RunningGame::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

RunResult RunAnsweringBoxes(const std::string& program, std::chrono::seconds deadline) {
    RunResult result;
    // A file of each run's own: a helper process of the system may still
    // hold an earlier run's file, whose text must never be read as this one's.
    static int s_runs = 0;
    std::filesystem::path errorFile = std::filesystem::temp_directory_path() /
        ("updtest-stderr-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++s_runs) + ".txt");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE errorHandle = CreateFileW(errorFile.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                     &inherit, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errorHandle == INVALID_HANDLE_VALUE) {
        return result;
    }
    PROCESS_INFORMATION process = Start(program, errorHandle);
    CloseHandle(errorHandle);
    if (!process.hProcess) {
        return result;
    }
    auto end = std::chrono::steady_clock::now() + deadline;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        if (void* box = FindMessageBoxOf(process.dwProcessId)) {
            result.boxes.push_back(AnswerMessageBox(box, end));
        }
        if (std::chrono::steady_clock::now() >= end) {
            TerminateProcess(process.hProcess, 255);
            WaitForSingleObject(process.hProcess, 10000);
            CloseHandle(process.hProcess);
            return result;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    result.exitCode = static_cast<int>(code);
    {
        std::ifstream in(errorFile, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        result.standardError = text.str();
    }
    std::error_code ignored;
    std::filesystem::remove(errorFile, ignored);
    return result;
}

}  // namespace wintest
