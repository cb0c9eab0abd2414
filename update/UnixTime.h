// Times as the publisher's files and the update folder write them, read as
// seconds since 1970-01-01 UTC, strictly: anything else is no time at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace update {

// Decimal digits only (no sign, no blanks), within 64 bits.
std::optional<std::int64_t> ParseUnixSeconds(std::string_view digits);

// An RFC 3339 time in UTC of the form "2027-06-30T00:00:00Z" (no fraction,
// no offset other than "Z"), with a real calendar date.
std::optional<std::int64_t> ParseUtcTime(std::string_view text);

// The current time of the system's clock.
std::int64_t UnixNow();

}  // namespace update
