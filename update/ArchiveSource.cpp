#include "update/ArchiveSource.h"

#include <cstdio>

#include "platform/Platform.h"

namespace update {

zip_source_t* OpenArchiveSource(const char* path, bool buffered) {
    std::FILE* file = platform::OpenFile(path, "rb");
    if (!file) {
        return nullptr;
    }
    if (!buffered) {
        std::setvbuf(file, nullptr, _IONBF, 0);
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_filep_create(file, 0, -1, &error);
    zip_error_fini(&error);
    // The source owns the file only once it exists.
    if (!source) {
        std::fclose(file);
    }
    return source;
}

}  // namespace update
