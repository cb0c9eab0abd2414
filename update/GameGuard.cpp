#include "update/GameGuard.h"

#include <cctype>

#include "platform/Platform.h"
#include "platform/Process.h"
#include "update/EngineReports.h"

namespace update {

std::string LowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string OwnFolderOf(const std::string& executablePath) {
    std::size_t separator = executablePath.find_last_of("/\\");
    if (separator == std::string::npos) {
        return std::string();
    }
    return LowerCase(executablePath.substr(0, separator + 1));
}

bool GameProcessGuardFor(const std::string& ownFolder) {
    bool refuse = false;
    platform::ForEachProcess([&](const platform::ProcessEntry& process) {
        if (LowerCase(process.name) != kGameExecutableName) {
            return true;
        }
        platform::ProcessImage image;
        if (!platform::ProcessImageOf(process.id, image) || LowerCase(image.path).rfind(ownFolder, 0) != 0) {
            return true;
        }
        // The first game of this installation decides. A running executable
        // cannot be opened for writing; a compatibility layer's lock cannot
        // be seen that way, so a game under one always counts as locked.
        refuse = image.underCompatibilityLayer || !platform::CanOpenForWriting(image.path);
        return false;
    });
    if (refuse) {
        ReportBox(kGuardRefusalText);
    }
    return refuse;
}

bool GameProcessGuard() { return GameProcessGuardFor(OwnFolderOf(platform::OwnExecutablePath())); }

}  // namespace update
