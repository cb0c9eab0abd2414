// Streams one zip member's data, decompressed and checked against its size
// and CRC, into an open file. Stored and deflated members are inflated here
// with large buffers, which is several times fewer library calls than
// reading through libzip's own decompression; other methods go through
// libzip. Encrypted members are refused: the updater has no passwords.
#pragma once

#include <zip.h>

#include <vector>

namespace update {

struct MemberBuffers {
    MemberBuffers();
    std::vector<unsigned char> input;
    std::vector<unsigned char> output;
};

// False on any read, decompression, check or write failure.
bool CopyMemberTo(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, int fd, MemberBuffers& buffers);

}  // namespace update
