// HTTP and HTTPS transfers on libcurl's easy interface: a whole body into a
// text (the manifest) and a body streamed into a file with per-block
// progress (the release archive). Redirects are followed and HTTP error
// statuses are not failures: their bodies arrive like any other. A
// connected transfer that delivers nothing for the stall time-out fails,
// a chain of more than 30 redirects fails, and a text body is limited to
// 16 MiB, so no server can hang the updater or fill its memory.
#pragma once

#include <cstdint>
#include <string>

namespace update {

inline constexpr const char* kUserAgent = "QuillUpdater/1.0";
inline constexpr long kStringConnectTimeoutSeconds = 5;
inline constexpr long kFileConnectTimeoutSeconds = 8;
inline constexpr long kDefaultStallTimeoutSeconds = 60;
// Later libcurl versions stop at this many by default; a release server
// needs one or two.
inline constexpr long kMaxRedirects = 30;
inline constexpr std::size_t kMaxStringBody = 16u << 20;

// Once per process, before the first transfer (GUI thread).
void HttpGlobalInit();
void HttpGlobalCleanup();

// The response body, or an empty text after a failed transfer; a failed
// transfer also shows the fatal-style error box "DownloadString error: ...".
std::string DownloadString(const char* url);

// Streams the body into the file, publishing "#Updater_DownloadingFile" at
// the start and "#Updater_DownloadingFile2" after every block; expectedSize
// is only the progress total. Publishes its own failure and returns false.
bool DownloadFile(const char* url, const char* fileName, std::uint32_t expectedSize);

// Tests shorten the stall time-out; the product keeps the default.
void SetStallTimeoutSeconds(long seconds);

}  // namespace update
