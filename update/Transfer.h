// HTTP and HTTPS transfers on libcurl's easy interface: a whole body into a
// text (the manifest) and a body streamed into a file with per-block
// progress (the release archive). Redirects are followed and HTTP error
// statuses are not failures: their bodies arrive like any other.
//
// What a hostile or broken server cannot do: use any scheme but http and
// https (first request or redirect), hang a transfer (a connected transfer
// that delivers nothing for the stall time-out fails, a text transfer fails
// after its overall limit, more than 30 redirects fail, and every transfer
// stops soon after CancelTransfers), fill memory (a text body is limited to
// 16 MiB) or fill the disk (a file body may exceed its declared size only by
// a small allowance, and a file the disk or that allowance stopped is
// removed).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace update {

inline constexpr const char* kUserAgent = "QuillUpdater/1.0";
inline constexpr const char* kAllowedProtocols = "http,https";
inline constexpr long kStringConnectTimeoutSeconds = 5;
inline constexpr long kFileConnectTimeoutSeconds = 8;
inline constexpr long kDefaultStallTimeoutSeconds = 60;
inline constexpr long kDefaultStringTimeoutSeconds = 60;
// Later libcurl versions stop at this many by default; a release server
// needs one or two.
inline constexpr long kMaxRedirects = 30;
inline constexpr std::size_t kMaxStringBody = 16u << 20;
// A release server may compress differently or add a signature block, so
// the archive may outgrow its declared size a little, never by much.
inline constexpr std::uint64_t kSizeAllowanceBytes = 1u << 20;

// Once per process, before the first transfer (GUI thread).
void HttpGlobalInit();
void HttpGlobalCleanup();

// The response body, or an empty text after a failed transfer. The failure
// text "DownloadString error: <reason>" goes into failureText when one is
// given (any thread); otherwise it is reported as a box (ReportBox), which
// only the GUI thread may do. A transfer stopped by CancelTransfers reports
// nothing.
std::string DownloadString(const char* url, std::string* failureText = nullptr);

// Streams the body into the file, publishing "#Updater_DownloadingFile" at
// the start and "#Updater_DownloadingFile2" after every block, both naming
// displayName (the file name when null). expectedSize is the progress total
// and, unless 0, bounds the body (see DownloadSizeLimit). With expectedSha256
// given (not null, not empty), the bytes are hashed as they are written, and
// a completed body of another hash fails with "#Updater_FailedVerify" and is
// removed. Publishes its own failure and returns false; a cancelled download
// fails without a report.
bool DownloadFile(const char* url, const char* fileName, std::uint32_t expectedSize,
                  const char* displayName = nullptr, const char* expectedSha256 = nullptr);

// An archive hash as a manifest may pin it: exactly 64 hex digits, either
// case.
bool IsArchiveHash(std::string_view text);

// The most body bytes a file download of that declared size accepts; 0
// means no limit.
std::uint64_t DownloadSizeLimit(std::uint32_t expectedSize);

// Removes a file a download wrote, or a link in its place; a missing file,
// a folder or a device of that name is left alone.
void RemoveDownloadedFile(const std::string& fileName);

// Any thread. Every running transfer, and every later one, ends soon as
// failed; used when the process is about to end.
void CancelTransfers();

// Tests allow transfers again after a cancel; the product never does.
void ResetTransferCancel();

// Tests shorten the time-outs; the product keeps the defaults.
void SetStallTimeoutSeconds(long seconds);
void SetStringTimeoutSeconds(long seconds);

}  // namespace update
