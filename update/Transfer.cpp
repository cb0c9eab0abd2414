#include "update/Transfer.h"

#include <curl/curl.h>
#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/Files.h"
#include "platform/Platform.h"
#include "update/EngineReports.h"
#include "update/LocalizedText.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"

namespace update {

namespace {

using vgui2::wchar;

std::atomic<long> g_stallTimeoutSeconds{kDefaultStallTimeoutSeconds};
std::atomic<long> g_stringTimeoutSeconds{kDefaultStringTimeoutSeconds};
std::atomic<bool> g_cancelled{false};

// A larger receive buffer than libcurl's default means fewer socket reads
// per mebibyte; it is a ceiling, not a wait.
constexpr long kFileReceiveBufferBytes = 100 * 1024;
// libcurl hands over at most 16 KiB per call; gathering them into large
// writes saves most of the system calls of a big download.
constexpr std::size_t kFileWriteBufferBytes = 1 << 20;
constexpr float kBytesToMebibytes = 1.0f / 1048576.0f;
constexpr const char* kDownloadingToken = "#Updater_DownloadingFile";
constexpr const char* kDownloadingBlockToken = "#Updater_DownloadingFile2";
constexpr const char* kFailedVerifyToken = "#Updater_FailedVerify";
constexpr std::size_t kArchiveHashHexDigits = 2 * crypto_hash_sha256_BYTES;

using ArchiveDigest = unsigned char[crypto_hash_sha256_BYTES];

bool DecodeArchiveHash(std::string_view text, ArchiveDigest& digest) {
    if (text.size() != kArchiveHashHexDigits) {
        return false;
    }
    std::size_t decoded = 0;
    const char* end = nullptr;
    return sodium_hex2bin(digest, sizeof(digest), text.data(), text.size(), nullptr, &decoded, &end) == 0 &&
           decoded == sizeof(digest) && end == text.data() + text.size();
}

// libcurl asks this during every transfer at least once a second, also
// while it waits for a connection or for data, so a cancel is seen within
// about a second whatever the server does.
int CancelCheck(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) { return g_cancelled.load() ? 1 : 0; }

// Sets everything both transfers share. A result other than CURLE_OK means
// the scheme restriction could not be set, and the transfer must not run.
CURLcode SetTransferOptions(CURL* curl, const char* url, long connectTimeoutSeconds, curl_write_callback writer,
                            void* sink) {
    curl_easy_setopt(curl, CURLOPT_URL, url);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writer);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, sink);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
    // A server that stays connected but stops sending would otherwise hold
    // the transfer, and with it the window or the update, forever: less than
    // one byte a second for the whole stall time ends the transfer.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, g_stallTimeoutSeconds.load());
    // This libcurl follows redirects without end by default, so a server
    // that keeps redirecting would hold the transfer forever.
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CancelCheck);
    // Any other scheme would let a manifest or a redirect read local files
    // into the game folder or talk to services on this machine.
    CURLcode result = curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    if (result == CURLE_OK) {
        result = curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    }
    return result;
}

struct StringSink {
    std::string body;
    bool tooLarge = false;
};

std::size_t StringWriteHandler(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<StringSink*>(user);
    std::size_t bytes = size * count;
    if (sink->body.size() + bytes > kMaxStringBody) {
        sink->tooLarge = true;
        return 0;
    }
    sink->body.append(data, bytes);
    return bytes;
}

void FormatMebibytes(float mebibytes, wchar* wide) {
    char narrow[32];
    std::snprintf(narrow, sizeof(narrow), "%.02f", static_cast<double>(mebibytes));
    ToWide(narrow, wide, 64);
}

// Everything the per-block handler needs; the parts that do not change
// during a transfer are converted once. The hash is taken from the bytes on
// their way to the disk, so checking a gigabyte costs no second read of it.
struct FileSink {
    FileSink(std::FILE* output, const char* displayName, std::uint32_t expected, bool hashBody)
        : file(output), expectedBytes(expected), limitBytes(DownloadSizeLimit(expected)), hashing(hashBody) {
        ToWide(displayName, wideFileName, sizeof(wideFileName));
        FormatMebibytes(static_cast<float>(expectedBytes) * kBytesToMebibytes, wideTotal);
        blockFormat = LocalizedFormat(kDownloadingBlockToken, blockFormatFallback, sizeof(blockFormatFallback));
        if (hashing) {
            crypto_hash_sha256_init(&hash);
        }
    }

    // Only for a body that arrived whole: no further block is hashed after.
    bool BodyMatches(const char* expectedSha256) {
        ArchiveDigest expected;
        ArchiveDigest received;
        crypto_hash_sha256_final(&hash, received);
        return DecodeArchiveHash(expectedSha256, expected) && sodium_memcmp(expected, received, sizeof(received)) == 0;
    }

    std::FILE* file;
    std::uint64_t receivedBytes = 0;
    std::uint32_t expectedBytes;
    std::uint64_t limitBytes;
    bool overLimit = false;
    bool writeFailed = false;
    bool hashing;
    crypto_hash_sha256_state hash;
    wchar wideFileName[256];
    wchar wideTotal[32];
    const wchar* blockFormat;
    wchar blockFormatFallback[64];
};

std::size_t FileWriteHandler(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    std::size_t bytes = size * count;
    // Returning less than was delivered makes libcurl stop with a write
    // error: the body has outgrown what the release declared, or the disk
    // refused it (full, quota).
    if (sink->limitBytes != 0 && sink->receivedBytes + bytes > sink->limitBytes) {
        sink->overLimit = true;
        return 0;
    }
    if (std::fwrite(data, 1, bytes, sink->file) != bytes) {
        sink->writeFailed = true;
        return 0;
    }
    sink->receivedBytes += bytes;
    if (sink->hashing) {
        crypto_hash_sha256_update(&sink->hash, reinterpret_cast<const unsigned char*>(data), bytes);
    }

    float received = static_cast<float>(sink->receivedBytes);
    float fraction = sink->expectedBytes == 0
                         ? 1.0f
                         : std::min(1.0f, received / static_cast<float>(sink->expectedBytes));
    wchar wideReceived[32];
    FormatMebibytes(received * kBytesToMebibytes, wideReceived);
    wchar text[256];
    ConstructFromFormat(text, sizeof(text), sink->blockFormat, 3, sink->wideFileName, wideReceived, sink->wideTotal);
    PublishProgress(text, fraction);
    return bytes;
}

void PublishDownloadStart(const char* displayName) {
    wchar wideFileName[64];
    ToWide(displayName, wideFileName, sizeof(wideFileName));
    wchar fallback[64];
    wchar text[128];
    ConstructFromFormat(text, sizeof(text), LocalizedFormat(kDownloadingToken, fallback, sizeof(fallback)), 1,
                        wideFileName);
    PublishProgress(text, 0.0f);
}

// Streams the body into the open file and closes it. A body over the limit
// ends as CURLE_FILESIZE_EXCEEDED, whether its announced length gave it away
// before the first byte or its bytes did on the way.
CURLcode TransferIntoFile(CURL* curl, const char* url, FileSink& sink) {
    std::vector<char> writeBuffer(kFileWriteBufferBytes);
    std::setvbuf(sink.file, writeBuffer.data(), _IOFBF, writeBuffer.size());
    CURLcode result = SetTransferOptions(curl, url, kFileConnectTimeoutSeconds, FileWriteHandler, &sink);
    if (result == CURLE_OK) {
        curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kFileReceiveBufferBytes);
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(sink.limitBytes));
        result = curl_easy_perform(curl);
    }
    // The last buffered bytes reach the disk only here, so a full disk may
    // show itself first now. Flushed apart from the close: a C library on
    // Windows forgets a failed flush when it closes the file.
    bool flushed = std::fflush(sink.file) == 0;
    if (std::fclose(sink.file) != 0 || !flushed) {
        sink.writeFailed = true;
        if (result == CURLE_OK) {
            result = CURLE_WRITE_ERROR;
        }
    }
    return sink.overLimit ? CURLE_FILESIZE_EXCEEDED : result;
}

}  // namespace

void HttpGlobalInit() { curl_global_init(CURL_GLOBAL_ALL); }

void HttpGlobalCleanup() { curl_global_cleanup(); }

void SetStallTimeoutSeconds(long seconds) { g_stallTimeoutSeconds.store(seconds); }

void SetStringTimeoutSeconds(long seconds) { g_stringTimeoutSeconds.store(seconds); }

void CancelTransfers() { g_cancelled.store(true); }

void ResetTransferCancel() { g_cancelled.store(false); }

bool IsArchiveHash(std::string_view text) {
    ArchiveDigest digest;
    return DecodeArchiveHash(text, digest);
}

std::uint64_t DownloadSizeLimit(std::uint32_t expectedSize) {
    return expectedSize == 0 ? 0 : expectedSize + kSizeAllowanceBytes + expectedSize / 10;
}

void RemoveDownloadedFile(const std::string& fileName) {
    std::size_t slash = fileName.rfind('/');
    std::string folder = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    platform::Folder parent = platform::Folder::Open(folder);
    if (!parent.IsOpen()) {
        return;
    }
    // Looked at without following a link, so a link goes and its target stays.
    platform::EntryKind kind = parent.Inspect(name).kind;
    if (kind == platform::EntryKind::File || kind == platform::EntryKind::Link) {
        platform::RemoveFile(fileName.c_str());
    }
}

std::string DownloadString(const char* url, std::string* failureText) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        return std::string();
    }
    StringSink sink;
    CURLcode result = SetTransferOptions(curl, url, kStringConnectTimeoutSeconds, StringWriteHandler, &sink);
    if (result == CURLE_OK) {
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, g_stringTimeoutSeconds.load());
        result = curl_easy_perform(curl);
    }
    curl_easy_cleanup(curl);
    if (result == CURLE_OK) {
        return std::move(sink.body);
    }
    const char* reason = sink.tooLarge ? "the response is larger than 16 MiB" : curl_easy_strerror(result);
    const char* text = TempFormat("DownloadString error: %s", reason);
    if (failureText) {
        *failureText = text;
    } else if (result != CURLE_ABORTED_BY_CALLBACK) {
        ReportBox(text);
    }
    return std::string();
}

bool DownloadFile(const char* url, const char* fileName, std::uint32_t expectedSize, const char* displayName,
                  const char* expectedSha256) {
    if (!displayName) {
        displayName = fileName;
    }
    PublishDownloadStart(displayName);
    CURL* curl = curl_easy_init();
    if (!curl) {
        PublishStatus("#Updater_FailedCurl", true, 1.0f);
        return false;
    }
    std::FILE* file = platform::OpenFile(fileName, "wb");
    if (!file) {
        PublishStatus("#Updater_FailedOpen", true, 1.0f);
        curl_easy_cleanup(curl);
        return false;
    }
    bool verify = expectedSha256 && *expectedSha256;
    FileSink sink(file, displayName, expectedSize, verify);
    CURLcode result = TransferIntoFile(curl, url, sink);
    curl_easy_cleanup(curl);
    if (result == CURLE_OK) {
        if (!verify || sink.BodyMatches(expectedSha256)) {
            return true;
        }
        // Not one byte of a body the publisher did not pin may be unpacked.
        PublishStatus(kFailedVerifyToken, true, 1.0f);
        RemoveDownloadedFile(fileName);
        return false;
    }
    // What the disk or the limit stopped is of no use, and leaving it would
    // keep the disk full; a file cut by the network stays until the next
    // update removes it.
    if (result == CURLE_FILESIZE_EXCEEDED || sink.writeFailed) {
        RemoveDownloadedFile(fileName);
    }
    if (result != CURLE_ABORTED_BY_CALLBACK) {
        PublishStatus(TempFormat("cURL error: %s\n", curl_easy_strerror(result)), true, 1.0f);
    }
    return false;
}

}  // namespace update
