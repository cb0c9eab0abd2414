// What a folder's handle means differs by system; owning it does not.
#include "platform/Files.h"

namespace platform {

Folder::~Folder() { Close(); }

Folder::Folder(Folder&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = other.m_handle;
        other.m_handle = -1;
    }
    return *this;
}

bool ReplaceFileContents(const std::string& folder, const std::string& name, std::string_view contents) {
    Folder parent = Folder::Open(folder);
    if (!parent.IsOpen()) {
        return false;
    }
    NewFile file(parent, false);
    return file.IsOpen() && file.Write(contents.data(), contents.size()) && file.Commit(name);
}

}  // namespace platform
