#include "platform/os/private_profile.h"

#include "platform/os/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
#include <vector>

namespace os {

namespace {

struct ProfileText {
    std::vector<std::string> lines;  // without their line ends
    bool crlf = false;               // the file's lines end in CR LF
};

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

ProfileText SplitLines(const std::string& content) {
    ProfileText text;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            text.crlf = true;
        }
        text.lines.push_back(std::move(line));
        start = end + 1;
    }
    return text;
}

// Reads the whole file: nullopt when it does not exist; `unreadable` is set when something of
// that name exists but cannot be read as a file. Throws only std::bad_alloc.
std::optional<std::string> ReadWholeFile(const std::string& path, bool& unreadable) {
    unreadable = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        unreadable = errno != ENOENT;
        return std::nullopt;
    }
    std::string content;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[8192];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    if (!ok) {
        unreadable = true;
        return std::nullopt;
    }
    return content;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view rawValue;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

bool NeedsQuotes(const std::string& value) {
    if (value.empty())
        return false;
    const char first = value.front();
    const char last = value.back();
    return first == ' ' || first == '\t' || last == ' ' || last == '\t' || first == '"' ||
           value.find_first_of("\r\n") != std::string::npos;
}

std::string Encode(const std::string& value) {
    if (!NeedsQuotes(value))
        return value;
    std::string encoded = "\"";
    for (const char c : value) {
        switch (c) {
            case '\\':
                encoded += "\\\\";
                break;
            case '"':
                encoded += "\\\"";
                break;
            case '\n':
                encoded += "\\n";
                break;
            case '\r':
                encoded += "\\r";
                break;
            default:
                encoded += c;
        }
    }
    return encoded + "\"";
}

std::string Decode(std::string_view raw) {
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"')
        return std::string(raw);
    const std::string_view inner = raw.substr(1, raw.size() - 2);
    std::string value;
    for (size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (c != '\\' || i + 1 == inner.size()) {
            value += c;
            continue;
        }
        const char next = inner[i + 1];
        switch (next) {
            case '\\':
                value += '\\';
                break;
            case '"':
                value += '"';
                break;
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            default:
                value += c;
                continue;  // an unknown escape stays as it stands
        }
        ++i;
    }
    return value;
}

// Where a key is found: the index of its line, or of the first matching section's header.
struct Place {
    std::optional<size_t> keyLine;
    std::optional<size_t> sectionHeader;
    size_t sectionEnd = 0;  // one past the last non-blank line of the first matching section
};

Place Find(const ProfileText& text, std::string_view section, std::string_view key) {
    Place place;
    bool inSection = false;
    bool inFirstSection = false;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const std::string& line = text.lines[i];
        if (const auto name = SectionOf(line)) {
            inSection = SameName(*name, section);
            inFirstSection = inSection && !place.sectionHeader;
            if (inFirstSection) {
                place.sectionHeader = i;
                place.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (inFirstSection && !Trim(line).empty())
            place.sectionEnd = i + 1;
        const auto keyLine = KeyOf(line);
        if (keyLine && SameName(keyLine->key, key)) {
            place.keyLine = i;
            return place;
        }
    }
    return place;
}

void CheckName(const std::string& name, const char* forbidden) {
    if (name.empty() || Trim(name).size() != name.size() ||
        name.find_first_of(forbidden) != std::string::npos) {
        throw std::invalid_argument("profile name cannot be stored: \"" + name + "\"");
    }
}

}  // namespace

ProfileWriteError::ProfileWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path) {}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path) {
    try {
        bool unreadable = false;
        const auto content = ReadWholeFile(path, unreadable);
        if (!content)
            return defaultValue;
        const ProfileText text = SplitLines(*content);
        const Place place = Find(text, section, key);
        if (!place.keyLine)
            return defaultValue;
        return Decode(KeyOf(text.lines[*place.keyLine])->rawValue);
    } catch (const std::exception&) {
        return defaultValue;  // out of memory on a huge file reads as missing
    }
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path) {
    const std::string text = GetPrivateProfileString(section, key, std::string(), path);
    std::string_view number = Trim(text);
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        return defaultValue;
    }
    return value;
}

void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    CheckName(section, "]\r\n");
    CheckName(key, "=\r\n");
    std::string target = path;
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const auto resolved = std::filesystem::weakly_canonical(path, error);
        if (error)
            throw ProfileWriteError(path);
        target = resolved.string();
    }
    bool unreadable = false;
    const auto content = ReadWholeFile(target, unreadable);
    if (unreadable)
        throw ProfileWriteError(path);
    ProfileText text = content ? SplitLines(*content) : ProfileText{};

    const std::string line = key + "=" + Encode(value);
    const Place place = Find(text, section, key);
    if (place.keyLine) {
        text.lines[*place.keyLine] = line;
    } else if (place.sectionHeader) {
        text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(place.sectionEnd), line);
    } else {
        text.lines.push_back("[" + section + "]");
        text.lines.push_back(line);
    }

    const char* lineEnd = text.crlf ? "\r\n" : "\n";
    std::string output;
    for (const std::string& each : text.lines)
        output += each + lineEnd;
    // Only where no sibling can be made at all is the file rewritten in place; a sibling that
    // failed half-way (a full disk) leaves the old file untouched.
    if (!WriteFileContents(target, output))
        throw ProfileWriteError(path);
}

}  // namespace os
