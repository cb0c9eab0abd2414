// A stand-in service module for start-up tests. It answers only the
// interface versions listed in STANDIN_ANSWERS (comma-separated; the GUI
// loop and the key-values service are the ones it can offer) and appends
// one line per event to the file named by STANDIN_LOG: "loaded" when the
// module is loaded, "ask <version>" per request, "init <count>" per GUI-loop
// initialisation and "size <bytes>" when a node size is registered.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "modules/updvgui2/KeyValuesSystem.h"
#include "tests/app/modules/RecordingServices.h"

namespace {

void Note(const std::string& line) {
    const char* path = std::getenv("STANDIN_LOG");
    if (!path) {
        return;
    }
    if (FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

bool Answers(const char* version) {
    const char* list = std::getenv("STANDIN_ANSWERS");
    if (!list) {
        return false;
    }
    std::string wanted = std::string(",") + list + ",";
    return wanted.find("," + std::string(version) + ",") != std::string::npos;
}

testsupport::RecordingVGui g_vgui(Note);
testsupport::RecordingKeyValues g_keyValues(TheKeyValuesSystem(), Note);

struct NoteLoad {
    NoteLoad() { Note("loaded"); }
} g_noteLoad;

}  // namespace

UPD_EXPORT void* CreateInterface(const char* name, int* returnCode) {
    void* answer = nullptr;
    if (name) {
        Note(std::string("ask ") + name);
        if (Answers(name) && std::strcmp(name, vgui2::VGUI_IVGUI_INTERFACE_VERSION) == 0) {
            answer = static_cast<vgui2::IVGui*>(&g_vgui);
        } else if (Answers(name) && std::strcmp(name, KEYVALUES_INTERFACE_VERSION) == 0) {
            answer = static_cast<IKeyValuesSystem*>(&g_keyValues);
        }
    }
    if (returnCode) {
        *returnCode = answer ? 0 : 1;
    }
    return answer;
}
