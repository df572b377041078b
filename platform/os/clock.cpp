#include "platform/os/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace os {

namespace {
std::mutex fixedMutex;
std::optional<LocalDateTime> fixedNow;
}  // namespace

LocalDateTime Now() {
    {
        std::lock_guard<std::mutex> guard(fixedMutex);
        if (fixedNow)
            return *fixedNow;
    }
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    LocalDateTime result;
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    result.millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    return result;
}

std::optional<LocalDateTime> FixedNow() {
    std::lock_guard<std::mutex> guard(fixedMutex);
    return fixedNow;
}

void SetFixedNow(std::optional<LocalDateTime> moment) {
    std::lock_guard<std::mutex> guard(fixedMutex);
    fixedNow = moment;
}

std::int64_t TickCountMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace os
