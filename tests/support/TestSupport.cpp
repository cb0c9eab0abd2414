#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "app/LinkedServices.h"
#include "modules/updvgui2/KeyValuesSystem.h"
#include "vgui2/KeyValues.h"

namespace testsupport {

namespace {

// Every test binary starts with the key-values service connected and, unless
// a test asks for a display itself, renders offscreen so that no test needs
// an X server.
struct PrepareTestProcess {
    PrepareTestProcess() {
        SetKeyValuesSystem(&TheKeyValuesSystem());
        if (!std::getenv("SDL_VIDEODRIVER")) {
            SetEnvironment("SDL_VIDEODRIVER", "offscreen");
        }
    }
} g_prepareTestProcess;

}  // namespace

TempDir::TempDir(bool enter) {
    // A name nobody else holds: creating an existing folder fails.
    static std::mt19937_64 s_names{std::random_device{}()};
    std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; m_path.empty(); ++attempt) {
        std::filesystem::path candidate = base / ("updtest-" + std::to_string(s_names() % 1000000000));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            m_path = candidate.string();
        } else if (attempt == 100) {
            throw std::runtime_error("no temporary folder could be made");
        }
    }
    if (enter) {
        m_previousDirectory = std::filesystem::current_path().string();
        std::filesystem::current_path(m_path);
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!m_previousDirectory.empty()) {
        std::filesystem::current_path(m_previousDirectory, ignored);
    }
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

std::string Utf8(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())); }

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    // An empty value removes the variable there.
    _putenv_s(name, value ? value : "");
#else
    if (value) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

bool PathExists(const std::string& path) { return std::filesystem::exists(path); }

bool ConnectRealServices() { return app::ConnectLinkedServices(); }

}  // namespace testsupport
