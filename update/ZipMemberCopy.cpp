#include "update/ZipMemberCopy.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>

namespace update {

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// One open member; closed on every way out.
class MemberReader {
public:
    MemberReader(zip_t* archive, zip_uint64_t index, zip_flags_t flags)
        : m_file(zip_fopen_index(archive, index, flags)) {}
    ~MemberReader() {
        if (m_file) {
            zip_fclose(m_file);
        }
    }
    MemberReader(const MemberReader&) = delete;
    MemberReader& operator=(const MemberReader&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    zip_int64_t Read(std::vector<unsigned char>& buffer) { return zip_fread(m_file, buffer.data(), buffer.size()); }

private:
    zip_file_t* m_file;
};

// The written data and its CRC, compared with the member's record at the end.
struct Written {
    zip_uint64_t size = 0;
    uLong crc = crc32(0L, Z_NULL, 0);

    bool Add(int fd, const unsigned char* data, std::size_t length) {
        size += length;
        crc = crc32_z(crc, data, length);
        return WriteAll(fd, data, length);
    }
};

// Raw data as stored, or libzip's decompressed output for methods not
// handled here: either way the bytes go straight to the file.
bool CopyPlain(MemberReader& member, int fd, std::vector<unsigned char>& buffer, Written& written) {
    for (;;) {
        zip_int64_t read = member.Read(buffer);
        if (read <= 0) {
            return read == 0;
        }
        if (!written.Add(fd, buffer.data(), static_cast<std::size_t>(read))) {
            return false;
        }
    }
}

bool CopyDeflated(MemberReader& member, int fd, MemberBuffers& buffers, Written& written) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return false;
    }
    int status = Z_OK;
    bool ok = true;
    while (ok && status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            zip_int64_t read = member.Read(buffers.input);
            // Running out of data before the stream's end is a damaged member.
            if (read <= 0) {
                ok = false;
                break;
            }
            stream.next_in = buffers.input.data();
            stream.avail_in = static_cast<uInt>(read);
        }
        stream.next_out = buffers.output.data();
        stream.avail_out = static_cast<uInt>(buffers.output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        ok = (status == Z_OK || status == Z_STREAM_END) &&
             written.Add(fd, buffers.output.data(), buffers.output.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    return ok;
}

bool IsEncrypted(const zip_stat_t& info) {
    return (info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE;
}

bool MatchesRecord(const zip_stat_t& info, const Written& written) {
    return (!(info.valid & ZIP_STAT_SIZE) || written.size == info.size) &&
           (!(info.valid & ZIP_STAT_CRC) || written.crc == info.crc);
}

}  // namespace

MemberBuffers::MemberBuffers() : input(kBufferBytes), output(kBufferBytes) {}

bool CopyMemberTo(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, int fd, MemberBuffers& buffers) {
    if (IsEncrypted(info) || !(info.valid & ZIP_STAT_COMP_METHOD)) {
        return false;
    }
    bool ownMethod = info.comp_method == ZIP_CM_STORE || info.comp_method == ZIP_CM_DEFLATE;
    MemberReader member(archive, index, ownMethod ? ZIP_FL_COMPRESSED : 0);
    if (!member.IsOpen()) {
        return false;
    }
    Written written;
    bool copied = info.comp_method == ZIP_CM_DEFLATE ? CopyDeflated(member, fd, buffers, written)
                                                     : CopyPlain(member, fd, buffers.input, written);
    return copied && MatchesRecord(info, written);
}

}  // namespace update
