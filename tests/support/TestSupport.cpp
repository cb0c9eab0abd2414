#include "tests/support/TestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
} g_prepareTestProcess;

}  // namespace

TempDir::TempDir(bool enter) {
    std::string pattern = (std::filesystem::temp_directory_path() / "updtest-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
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

bool PathExists(const std::string& path) { return std::filesystem::exists(path); }

bool ConnectRealServices() { return app::ConnectLinkedServices(); }

}  // namespace testsupport
