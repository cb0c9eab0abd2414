#include "update/GameGuard.h"

#include <cctype>

#include "platform/Platform.h"
#include "update/ProcessList.h"

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
    ForEachProcess([&](const ProcessEntry& process) {
        if (LowerCase(process.name) != kGameExecutableName) {
            return true;
        }
        std::string imagePath;
        if (!ProcessImagePath(process.id, imagePath) || LowerCase(imagePath).rfind(ownFolder, 0) != 0) {
            return true;
        }
        // The first game of this installation decides; a running executable
        // cannot be opened for writing.
        refuse = !CanOpenForWriting(imagePath);
        return false;
    });
    if (refuse) {
        platform::ShowErrorBox("Updater", kGuardRefusalText);
    }
    return refuse;
}

bool GameProcessGuard() { return GameProcessGuardFor(OwnFolderOf(OwnExecutablePath())); }

}  // namespace update
