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

}  // namespace platform
