#include "update/Transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "update/LocalizedText.h"
#include "update/MessageFormat.h"
#include "update/Publishers.h"

namespace update {

namespace {

using vgui2::wchar;

std::atomic<long> g_stallTimeoutSeconds{kDefaultStallTimeoutSeconds};

// A larger receive buffer than libcurl's default means fewer socket reads
// per mebibyte; it is a ceiling, not a wait.
constexpr long kFileReceiveBufferBytes = 100 * 1024;
// libcurl hands over at most 16 KiB per call; gathering them into large
// writes saves most of the system calls of a big download.
constexpr std::size_t kFileWriteBufferBytes = 1 << 20;
constexpr float kBytesToMebibytes = 1.0f / 1048576.0f;
constexpr const char* kDownloadingToken = "#Updater_DownloadingFile";
constexpr const char* kDownloadingBlockToken = "#Updater_DownloadingFile2";

void SetTransferOptions(CURL* curl, const char* url, long connectTimeoutSeconds, curl_write_callback writer,
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
// during a transfer are converted once.
struct FileSink {
    FileSink(std::FILE* output, const char* fileName, std::uint32_t expected)
        : file(output), expectedBytes(expected) {
        ToWide(fileName, wideFileName, sizeof(wideFileName));
        FormatMebibytes(static_cast<float>(expectedBytes) * kBytesToMebibytes, wideTotal);
        blockFormat = LocalizedFormat(kDownloadingBlockToken, blockFormatFallback, sizeof(blockFormatFallback));
    }

    std::FILE* file;
    std::uint64_t receivedBytes = 0;
    std::uint32_t expectedBytes;
    wchar wideFileName[256];
    wchar wideTotal[32];
    const wchar* blockFormat;
    wchar blockFormatFallback[64];
};

std::size_t FileWriteHandler(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<FileSink*>(user);
    std::size_t bytes = size * count;
    // A short write (disk full, quota) must end the transfer as a failure;
    // returning less than was delivered makes libcurl stop with a write error.
    if (std::fwrite(data, 1, bytes, sink->file) != bytes) {
        return 0;
    }
    sink->receivedBytes += bytes;

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

void PublishDownloadStart(const char* fileName) {
    wchar wideFileName[64];
    ToWide(fileName, wideFileName, sizeof(wideFileName));
    wchar fallback[64];
    wchar text[128];
    ConstructFromFormat(text, sizeof(text), LocalizedFormat(kDownloadingToken, fallback, sizeof(fallback)), 1,
                        wideFileName);
    PublishProgress(text, 0.0f);
}

}  // namespace

void HttpGlobalInit() { curl_global_init(CURL_GLOBAL_ALL); }

void HttpGlobalCleanup() { curl_global_cleanup(); }

void SetStallTimeoutSeconds(long seconds) { g_stallTimeoutSeconds.store(seconds); }

std::string DownloadString(const char* url) {
    CURL* curl = curl_easy_init();
    if (!curl) {
        return std::string();
    }
    StringSink sink;
    SetTransferOptions(curl, url, kStringConnectTimeoutSeconds, StringWriteHandler, &sink);
    CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (result != CURLE_OK) {
        const char* reason = sink.tooLarge ? "the response is larger than 16 MiB" : curl_easy_strerror(result);
        platform::ShowErrorBox("Updater", TempFormat("DownloadString error: %s", reason));
        return std::string();
    }
    return std::move(sink.body);
}

bool DownloadFile(const char* url, const char* fileName, std::uint32_t expectedSize) {
    PublishDownloadStart(fileName);
    CURL* curl = curl_easy_init();
    if (!curl) {
        PublishStatus("#Updater_FailedCurl", true, 1.0f);
        return false;
    }
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) {
        PublishStatus("#Updater_FailedOpen", true, 1.0f);
        curl_easy_cleanup(curl);
        return false;
    }
    std::vector<char> writeBuffer(kFileWriteBufferBytes);
    std::setvbuf(file, writeBuffer.data(), _IOFBF, writeBuffer.size());
    FileSink sink(file, fileName, expectedSize);
    SetTransferOptions(curl, url, kFileConnectTimeoutSeconds, FileWriteHandler, &sink);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kFileReceiveBufferBytes);
    CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    // The last buffered bytes reach the disk only here, so a full disk may
    // show itself first when the file is closed.
    if (std::fclose(file) != 0 && result == CURLE_OK) {
        result = CURLE_WRITE_ERROR;
    }
    if (result != CURLE_OK) {
        PublishStatus(TempFormat("cURL error: %s\n", curl_easy_strerror(result)), true, 1.0f);
        return false;
    }
    return true;
}

}  // namespace update
