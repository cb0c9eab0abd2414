// Where a branch's archive lies on the publisher's disk.
#pragma once

#include <string>

namespace qlmrelease {

// The archive of a download address below the base folder: the address's
// path as folders there when that file exists (a release folder laid out as
// it is served), else the address's last part alone. Empty when the address
// names no file.
std::string LocalArchive(const std::string& baseDir, const std::string& url);

}  // namespace qlmrelease
