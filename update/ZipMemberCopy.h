// Streams one zip member's data, decompressed and checked against its size
// and CRC, into a sink. Stored and deflated members are inflated here with
// large buffers, which is several times fewer library calls than reading
// through libzip's own decompression; other methods go through libzip.
// Encrypted members are refused: the updater has no passwords. Nothing
// beyond the size the member declares ever reaches the sink, so a member
// that lies about its size costs one buffer, not the disk.
#pragma once

#include <zip.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace update {

struct MemberBuffers {
    MemberBuffers();
    std::vector<unsigned char> input;
    std::vector<unsigned char> output;
};

// Takes the member's bytes in order; false stops the copy.
using ByteSink = std::function<bool(const unsigned char* data, std::size_t size)>;

// False on any read, decompression, check or sink failure, and as soon as
// the data outgrows the member's declared size.
bool CopyMemberTo(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, const ByteSink& sink,
                  MemberBuffers& buffers);

}  // namespace update
