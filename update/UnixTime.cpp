#include "update/UnixTime.h"

#include <charconv>
#include <chrono>

namespace update {

namespace {

// A field of fixed width, all digits.
bool ReadField(std::string_view text, std::size_t at, std::size_t width, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::optional<std::int64_t> ParseUnixSeconds(std::string_view digits) {
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        return std::nullopt;
    }
    std::int64_t seconds = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return seconds;
}

std::optional<std::int64_t> ParseUtcTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    int year, month, day, hour, minute, second;
    if (!ReadField(text, 0, 4, year) || !ReadField(text, 5, 2, month) || !ReadField(text, 8, 2, day) ||
        !ReadField(text, 11, 2, hour) || !ReadField(text, 14, 2, minute) || !ReadField(text, 17, 2, second)) {
        return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    // A leap second (":60") is a real time in this form.
    if (!date.ok() || hour > 23 || minute > 59 || second > 60) {
        return std::nullopt;
    }
    return (sys_days(date) + hours(hour) + minutes(minute) + seconds(second)).time_since_epoch().count();
}

std::int64_t UnixNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace update
