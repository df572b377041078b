#include "connection/local_folders.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/os/local_paths.h"

bool IsLocalDir(const std::string& path) {
    return os::IsFolder(path);
}

bool EnsureLocalDir(const std::string& path) {
    if (IsLocalDir(path))
        return true;
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

os::LocalDateTime FileTimeToDateTime(std::time_t fileTime) {
    os::LocalDateTime result;
    struct tm local {};
    if (::localtime_r(&fileTime, &local) == nullptr)
        return result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    return result;
}

std::string FormatDateTime(const os::LocalDateTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}
