#include "update/ZipMemberCopy.h"

#include <zlib.h>

namespace update {

namespace {

constexpr std::size_t kBufferBytes = 256 * 1024;

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

// The written data and its CRC, compared with the member's record at the
// end; data past the declared size is refused before it is passed on.
class Written {
public:
    Written(const ByteSink& sink, zip_uint64_t declaredSize) : m_sink(sink), m_declaredSize(declaredSize) {}

    bool Add(const unsigned char* data, std::size_t length) {
        if (length > m_declaredSize - m_size) {
            return false;
        }
        m_size += length;
        m_crc = crc32_z(m_crc, data, length);
        return m_sink(data, length);
    }

    bool Matches(const zip_stat_t& info) const {
        return m_size == m_declaredSize && (!(info.valid & ZIP_STAT_CRC) || m_crc == info.crc);
    }

private:
    const ByteSink& m_sink;
    zip_uint64_t m_declaredSize;
    zip_uint64_t m_size = 0;
    uLong m_crc = crc32(0L, Z_NULL, 0);
};

// Raw data as stored, or libzip's decompressed output for methods not
// handled here: either way the bytes go straight to the file.
bool CopyPlain(MemberReader& member, std::vector<unsigned char>& buffer, Written& written) {
    for (;;) {
        zip_int64_t read = member.Read(buffer);
        if (read <= 0) {
            return read == 0;
        }
        if (!written.Add(buffer.data(), static_cast<std::size_t>(read))) {
            return false;
        }
    }
}

bool CopyDeflated(MemberReader& member, MemberBuffers& buffers, Written& written) {
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
             written.Add(buffers.output.data(), buffers.output.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    return ok;
}

bool IsEncrypted(const zip_stat_t& info) {
    return (info.valid & ZIP_STAT_ENCRYPTION_METHOD) && info.encryption_method != ZIP_EM_NONE;
}

}  // namespace

MemberBuffers::MemberBuffers() : input(kBufferBytes), output(kBufferBytes) {}

bool CopyMemberTo(zip_t* archive, zip_uint64_t index, const zip_stat_t& info, const ByteSink& sink,
                  MemberBuffers& buffers) {
    if (IsEncrypted(info) || !(info.valid & ZIP_STAT_COMP_METHOD) || !(info.valid & ZIP_STAT_SIZE)) {
        return false;
    }
    bool ownMethod = info.comp_method == ZIP_CM_STORE || info.comp_method == ZIP_CM_DEFLATE;
    MemberReader member(archive, index, ownMethod ? ZIP_FL_COMPRESSED : 0);
    if (!member.IsOpen()) {
        return false;
    }
    Written written(sink, info.size);
    bool copied = info.comp_method == ZIP_CM_DEFLATE ? CopyDeflated(member, buffers, written)
                                                     : CopyPlain(member, buffers.input, written);
    return copied && written.Matches(info);
}

}  // namespace update
