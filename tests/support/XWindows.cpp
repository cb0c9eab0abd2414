#include "tests/support/XWindows.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace testproc {

namespace {

WindowRect GeometryOf(const XServer& x, const std::string& id) {
    std::string shell;
    WindowRect rect;
    if (x.Xdotool({"getwindowgeometry", "--shell", id}, &shell) != 0) {
        return rect;
    }
    std::istringstream lines(shell);
    for (std::string line; std::getline(lines, line);) {
        int* field = line.rfind("X=", 0) == 0        ? &rect.x
                     : line.rfind("Y=", 0) == 0      ? &rect.y
                     : line.rfind("WIDTH=", 0) == 0  ? &rect.wide
                     : line.rfind("HEIGHT=", 0) == 0 ? &rect.tall
                                                     : nullptr;
        if (field) {
            *field = std::atoi(line.c_str() + line.find('=') + 1);
        }
    }
    return rect;
}

}  // namespace

// Titles are matched here rather than by xdotool's own name search, which
// cannot read the UTF-8 titles SDL sets and would silently match nothing.
std::vector<NativeWindow> VisibleWindows(const XServer& x, pid_t pid, const std::string& titlePattern) {
    std::string ids;
    x.Xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)}, &ids);
    std::regex title(titlePattern);
    std::vector<NativeWindow> windows;
    std::istringstream stream(ids);
    for (std::string id; stream >> id;) {
        std::string name;
        bool named = titlePattern.empty() || (x.Xdotool({"getwindowname", id}, &name) == 0 &&
                                              std::regex_search(name.substr(0, name.find('\n')), title));
        if (!named) {
            continue;
        }
        windows.push_back({id, GeometryOf(x, id)});
    }
    return windows;
}

std::string CaptureRgb(const XServer& x, const WindowRect& rect, const std::string& pngFile) {
    std::string geometry = std::to_string(rect.wide) + "x" + std::to_string(rect.tall) + "+" +
                           std::to_string(rect.x) + "+" + std::to_string(rect.y);
    auto capture = [&](const std::string& target) {
        return Run({"/usr/bin/import", "-display", x.Display(), "-window", "root", "-crop", geometry, "+repage",
                    "-depth", "8", target}) == 0;
    };
    char rgbFile[] = "/tmp/test-capture-XXXXXX";
    int fd = mkstemp(rgbFile);
    if (fd < 0) {
        return {};
    }
    close(fd);
    std::string rgb;
    if (capture(std::string("rgb:") + rgbFile) && (pngFile.empty() || capture("png:" + pngFile))) {
        std::ifstream in(rgbFile, std::ios::binary);
        rgb.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    unlink(rgbFile);
    return rgb;
}

bool ShowsColour(const std::string& rgb, unsigned char red, unsigned char green, unsigned char blue) {
    for (std::size_t at = 0; at + 2 < rgb.size(); at += 3) {
        if (static_cast<unsigned char>(rgb[at]) == red && static_cast<unsigned char>(rgb[at + 1]) == green &&
            static_cast<unsigned char>(rgb[at + 2]) == blue) {
            return true;
        }
    }
    return false;
}

}  // namespace testproc
