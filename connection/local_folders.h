#pragma once
// The local folder helpers of folder transfers and the duplicate question.
#include <ctime>
#include <string>

#include "platform/os/clock.h"

// True when `path` names an existing folder (a link to a folder counts). Never throws.
bool IsLocalDir(const std::string& path);
// True when the folder exists, else whether creating it (one level; its parent must exist)
// succeeded. Never throws.
bool EnsureLocalDir(const std::string& path);
// A file time (seconds since the epoch, UTC) as the local date and time. Never throws.
os::LocalDateTime FileTimeToDateTime(std::time_t fileTime);
// "yyyy-mm-dd hh:mm:ss".
std::string FormatDateTime(const os::LocalDateTime& time);
