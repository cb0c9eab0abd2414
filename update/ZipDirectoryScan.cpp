#include "update/ZipDirectoryScan.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "update/ArchiveSource.h"

namespace update {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
// The end record sits in the last bytes: its own size, the longest comment
// and the zip64 locator before it. The zip library searches the same span.
constexpr std::size_t kEndSearchSpan = 65536 + kEndSize + kZip64LocatorSize;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint64_t kIn64Bits = 0xFFFFFFFFu;

std::uint64_t Little(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

class ArchiveFile {
public:
    ArchiveFile(const std::string& path, bool buffered) : m_source(OpenArchiveSource(path.c_str(), buffered)) {
        zip_stat_t info;
        zip_stat_init(&info);
        m_open = m_source && zip_source_open(m_source) == 0;
        if (m_open && zip_source_stat(m_source, &info) == 0 && (info.valid & ZIP_STAT_SIZE)) {
            m_size = info.size;
        }
    }
    ~ArchiveFile() {
        if (m_open) {
            zip_source_close(m_source);
        }
        if (m_source) {
            zip_source_free(m_source);
        }
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool IsOpen() const { return m_open; }
    std::uint64_t Size() const { return m_size; }

    bool Seek(std::uint64_t offset) {
        return offset <= m_size && zip_source_seek(m_source, static_cast<zip_int64_t>(offset), SEEK_SET) == 0;
    }
    bool Read(void* data, std::size_t size) {
        return zip_source_read(m_source, data, size) == static_cast<zip_int64_t>(size);
    }
    bool ReadAt(std::uint64_t offset, void* data, std::size_t size) { return Seek(offset) && Read(data, size); }
    // Read rather than sought past: a seek costs the stream its buffer.
    bool Skip(std::size_t size) {
        m_skipped.resize(size);
        return Read(m_skipped.data(), size);
    }

    bool SignatureAt(std::uint64_t offset, std::uint32_t signature) {
        unsigned char bytes[4];
        return ReadAt(offset, bytes, sizeof(bytes)) && Little(bytes, 4) == signature;
    }

private:
    zip_source_t* m_source;
    bool m_open = false;
    std::uint64_t m_size = 0;
    std::vector<unsigned char> m_skipped;
};

struct DirectoryPlace {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t entries = 0;
};

// The directory an end record found at the given offset describes, when it
// describes one that lies inside the file before the record.
std::optional<DirectoryPlace> PlaceOf(ArchiveFile& file, std::uint64_t endOffset, const unsigned char* end) {
    DirectoryPlace place{Little(end + 16, 4), Little(end + 12, 4), Little(end + 10, 2)};
    std::uint64_t limit = endOffset;
    std::array<unsigned char, kZip64LocatorSize> locator;
    if (endOffset >= kZip64LocatorSize && file.ReadAt(endOffset - kZip64LocatorSize, locator.data(), locator.size()) &&
        Little(locator.data(), 4) == kZip64LocatorSignature) {
        std::uint64_t recordOffset = Little(locator.data() + 8, 8);
        std::array<unsigned char, kZip64EndSize> record;
        if (endOffset < kZip64LocatorSize + kZip64EndSize ||
            recordOffset > endOffset - kZip64LocatorSize - kZip64EndSize ||
            !file.ReadAt(recordOffset, record.data(), record.size()) ||
            Little(record.data(), 4) != kZip64EndSignature) {
            return std::nullopt;
        }
        place = {Little(record.data() + 48, 8), Little(record.data() + 40, 8), Little(record.data() + 32, 8)};
        limit = recordOffset;
    }
    if (place.offset > limit || place.size > limit - place.offset) {
        return std::nullopt;
    }
    if (place.entries > 0 && !file.SignatureAt(place.offset, kCentralSignature)) {
        return std::nullopt;
    }
    return place;
}

// The one end record of the archive. A second candidate that also describes
// a directory makes the archive ambiguous: the zip library might pick the
// other one, whose entries this scan never saw.
std::optional<DirectoryPlace> FindDirectory(ArchiveFile& file) {
    std::uint64_t spanStart = file.Size() > kEndSearchSpan ? file.Size() - kEndSearchSpan : 0;
    std::vector<unsigned char> tail(static_cast<std::size_t>(file.Size() - spanStart));
    if (tail.size() < kEndSize || !file.ReadAt(spanStart, tail.data(), tail.size())) {
        return std::nullopt;
    }
    std::optional<DirectoryPlace> found;
    for (std::size_t at = 0; at + kEndSize <= tail.size(); ++at) {
        if (Little(&tail[at], 4) != kEndSignature) {
            continue;
        }
        if (std::optional<DirectoryPlace> place = PlaceOf(file, spanStart + at, &tail[at])) {
            if (found) {
                return std::nullopt;
            }
            found = place;
        }
    }
    return found;
}

// Local headers are read in file order; members are often small, so one
// read of a window serves many headers and saves a system call per entry.
class HeaderReader {
public:
    explicit HeaderReader(const std::string& archivePath) : m_file(archivePath, false), m_window(kWindowBytes) {}

    bool ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) {
        if (offset < m_start || offset - m_start > m_length || size > m_length - (offset - m_start)) {
            if (offset > m_file.Size()) {
                return false;
            }
            m_start = offset;
            m_length = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, m_file.Size() - offset));
            if (size > m_length || !m_file.ReadAt(offset, m_window.data(), m_length)) {
                m_length = 0;
                return false;
            }
        }
        std::copy_n(&m_window[static_cast<std::size_t>(offset - m_start)], size, data);
        return true;
    }

private:
    static constexpr std::size_t kWindowBytes = 64 * 1024;

    ArchiveFile m_file;
    std::vector<unsigned char> m_window;
    std::uint64_t m_start = 0;
    std::size_t m_length = 0;
};

struct DataRange {
    std::uint64_t localOffset = 0;
    std::uint64_t compressedSize = 0;
};

struct Entry {
    DataRange range;
    std::uint64_t size = 0;
};

// Sizes and offset too large for the 32-bit fields are in the zip64 extra
// field, in this order, each present only when its 32-bit field says so.
bool ApplyZip64Extra(const std::vector<unsigned char>& extra, Entry& entry) {
    std::uint64_t* fields[] = {&entry.size, &entry.range.compressedSize, &entry.range.localOffset};
    std::size_t at = 0;
    while (at + 4 <= extra.size()) {
        std::uint64_t id = Little(&extra[at], 2);
        std::size_t length = static_cast<std::size_t>(Little(&extra[at + 2], 2));
        at += 4;
        if (length > extra.size() - at) {
            return false;
        }
        if (id == kZip64ExtraId) {
            std::size_t read = 0;
            for (std::uint64_t* field : fields) {
                if (*field == kIn64Bits) {
                    if (read + 8 > length) {
                        return false;
                    }
                    *field = Little(&extra[at + read], 8);
                    read += 8;
                }
            }
            return true;
        }
        at += length;
    }
    return entry.size != kIn64Bits && entry.range.compressedSize != kIn64Bits && entry.range.localOffset != kIn64Bits;
}

bool ReadEntries(ArchiveFile& file, const DirectoryPlace& place, std::vector<Entry>& entries) {
    if (!file.Seek(place.offset)) {
        return false;
    }
    std::uint64_t left = place.size;
    std::array<unsigned char, kCentralSize> fixed;
    std::vector<unsigned char> extra;
    entries.reserve(static_cast<std::size_t>(place.entries));
    for (std::uint64_t i = 0; i < place.entries; ++i) {
        if (left < kCentralSize || !file.Read(fixed.data(), fixed.size()) ||
            Little(fixed.data(), 4) != kCentralSignature) {
            return false;
        }
        std::size_t nameLength = static_cast<std::size_t>(Little(&fixed[28], 2));
        extra.resize(static_cast<std::size_t>(Little(&fixed[30], 2)));
        std::size_t commentLength = static_cast<std::size_t>(Little(&fixed[32], 2));
        std::uint64_t length = kCentralSize + nameLength + extra.size() + commentLength;
        if (length > left || !file.Skip(nameLength) || !file.Read(extra.data(), extra.size()) ||
            !file.Skip(commentLength)) {
            return false;
        }
        left -= length;
        Entry entry{{Little(&fixed[42], 4), Little(&fixed[20], 4)}, Little(&fixed[24], 4)};
        if (!ApplyZip64Extra(extra, entry)) {
            return false;
        }
        entries.push_back(entry);
    }
    return true;
}

// Each entry's local header and data, in file order, must end before the
// next entry's local header begins and before the directory.
bool DataRangesAreDisjoint(const std::string& archivePath, std::vector<DataRange>& ranges,
                           std::uint64_t directoryOffset) {
    HeaderReader file(archivePath);
    std::sort(ranges.begin(), ranges.end(),
              [](const DataRange& a, const DataRange& b) { return a.localOffset < b.localOffset; });
    std::uint64_t previousEnd = 0;
    std::array<unsigned char, kLocalSize> local;
    for (const DataRange& range : ranges) {
        if (range.localOffset < previousEnd || directoryOffset < kLocalSize ||
            range.localOffset > directoryOffset - kLocalSize ||
            !file.ReadAt(range.localOffset, local.data(), local.size()) ||
            Little(local.data(), 4) != kLocalSignature) {
            return false;
        }
        std::uint64_t dataStart = range.localOffset + kLocalSize + Little(&local[26], 2) + Little(&local[28], 2);
        if (dataStart > directoryOffset || range.compressedSize > directoryOffset - dataStart) {
            return false;
        }
        previousEnd = dataStart + range.compressedSize;
    }
    return true;
}

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

}  // namespace

std::optional<ZipDirectorySummary> ScanZipDirectory(const std::string& archivePath) {
    ArchiveFile file(archivePath, true);
    if (!file.IsOpen()) {
        return std::nullopt;
    }
    std::optional<DirectoryPlace> place = FindDirectory(file);
    if (!place || place->entries > kMaxArchiveEntries || place->size > kMaxCentralDirectoryBytes ||
        place->entries > place->size / kCentralSize) {
        return std::nullopt;
    }
    std::vector<Entry> entries;
    if (!ReadEntries(file, *place, entries)) {
        return std::nullopt;
    }
    ZipDirectorySummary summary;
    summary.entries = entries.size();
    std::vector<DataRange> ranges;
    ranges.reserve(entries.size());
    for (const Entry& entry : entries) {
        summary.declaredBytes = SaturatingSum(summary.declaredBytes, entry.size);
        ranges.push_back(entry.range);
    }
    if (!DataRangesAreDisjoint(archivePath, ranges, place->offset)) {
        return std::nullopt;
    }
    return summary;
}

}  // namespace update
