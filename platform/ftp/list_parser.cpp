#include "platform/ftp/list_parser.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <string_view>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

namespace {

struct Token {
    std::size_t begin;
    std::size_t end;
};

// Fills `tokens` (emptied first): a buffer the caller keeps, so a listing of many lines does not
// allocate one per line.
void Tokenize(const std::string& line, std::vector<Token>& tokens) {
    tokens.clear();
    // Through a pointer and a size held here: the appends to `tokens` would otherwise make the
    // compiler read the line's size again for every character.
    const char* const text = line.data();
    const std::size_t size = line.size();
    std::size_t pos = 0;
    for (;;) {
        while (pos < size && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        if (pos >= size)
            break;
        const std::size_t begin = pos;
        while (pos < size && text[pos] != ' ' && text[pos] != '\t')
            ++pos;
        tokens.push_back({begin, pos});
    }
}

std::string_view View(const std::string& line, const Token& token) {
    return std::string_view(line).substr(token.begin, token.end - token.begin);
}

bool AllDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// Non-negative decimal that fits a signed 64-bit integer.
std::optional<std::int64_t> ParseSize(std::string_view text) {
    if (!AllDigits(text))
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        const int digit = c - '0';
        if (value > (INT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

int SmallNumber(std::string_view text) {  // the caller checked AllDigits and the length
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

bool StartsWithTotal(const std::string& line) {
    static const char kTotal[] = "TOTAL";
    if (line.size() < 5)
        return false;
    for (int i = 0; i < 5; ++i) {
        if (std::toupper(static_cast<unsigned char>(line[i])) != kTotal[i])
            return false;
    }
    return true;
}

// The characters of `set` as a table indexed by byte: a look-up per character of a mode
// string, of which a large listing has millions.
struct CharSet {
    std::array<bool, 256> has{};
    constexpr explicit CharSet(std::string_view set) {
        for (char c : set)
            has[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool operator()(char c) const { return has[static_cast<unsigned char>(c)]; }
};

bool IsModeString(const std::string& line) {
    if (line.size() < 10)
        return false;
    static constexpr CharSet kTypes("-bcdlLpsDn");
    static constexpr CharSet kRights("rwxsStTlL-");
    if (!kTypes(line[0]))
        return false;
    for (int i = 1; i < 10; ++i) {
        if (!kRights(line[static_cast<std::size_t>(i)]))
            return false;
    }
    if (line.size() == 10)
        return true;
    const char next = line[10];
    return next == ' ' ||
           ((next == '+' || next == '@' || next == '.') && (line.size() == 11 || line[11] == ' '));
}

int MonthNumber(std::string_view text) {
    static const std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (text.size() != 3)
        return 0;
    // Upper case once, not once per month compared.
    char upper[3];
    for (std::size_t i = 0; i < 3; ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        if (upper[0] == kMonths[m][0] && upper[1] == kMonths[m][1] && upper[2] == kMonths[m][2])
            return static_cast<int>(m) + 1;
    }
    return 0;
}

// "hh:mm" with hours 0..23 and minutes 0..59.
bool ParseClock(std::string_view text, int& hour, int& minute) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2)
        return false;
    const std::string_view hours = text.substr(0, colon);
    const std::string_view minutes = text.substr(colon + 1);
    if (!AllDigits(hours) || !AllDigits(minutes) || minutes.size() != 2)
        return false;
    hour = SmallNumber(hours);
    minute = SmallNumber(minutes);
    return hour < 24 && minute < 60;
}

// Days of a month of the proleptic Gregorian calendar.
int DaysInMonth(int year, int month) {
    static const std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// "major,minor" in one token, as some servers write a device's numbers.
bool IsDeviceNumbers(std::string_view text) {
    const std::size_t comma = text.find(',');
    return comma != std::string_view::npos && AllDigits(text.substr(0, comma)) &&
           AllDigits(text.substr(comma + 1));
}

// "major," of a device written "major, minor".
bool IsDeviceMajor(std::string_view text) {
    return text.size() >= 2 && text.back() == ',' && AllDigits(text.substr(0, text.size() - 1));
}

int NearestCentury(int twoDigitYear, int currentYear) {
    int year = currentYear / 100 * 100 + twoDigitYear;
    if (year > currentYear + 50)
        year -= 100;
    if (year <= currentYear - 50)
        year += 100;
    return year;
}

}  // namespace

ListingFormat DetectListingFormat(const std::string& firstLine) {
    if (StartsWithTotal(firstLine) || IsModeString(firstLine))
        return ListingFormat::Unix;
    if (ParseDosLine(firstLine, os::LocalDateTime{}))
        return ListingFormat::Dos;
    return ListingFormat::Unknown;
}

std::optional<TIdFTPListItem> ParseUnixLine(const std::string& line, const os::LocalDateTime& now) {
    TIdFTPListItem item;
    if (!ParseUnixLineInto(line, now, item))
        return std::nullopt;
    item.Text = line;
    return item;
}

std::optional<TIdFTPListItem> ParseDosLine(const std::string& line, const os::LocalDateTime& now) {
    TIdFTPListItem item;
    if (!ParseDosLineInto(line, now, item))
        return std::nullopt;
    item.Text = line;
    return item;
}

bool ParseUnixLineInto(const std::string& line, const os::LocalDateTime& now,
                       TIdFTPListItem& item) {
    if (!IsModeString(line))
        return false;
    // Kept from line to line: a buffer of its own per line would cost an allocation per line.
    thread_local std::vector<Token> tokens;
    Tokenize(line, tokens);
    // The date is the first "month day year-or-time" triple after the mode, an owner and a size.
    for (std::size_t m = 3; m + 2 < tokens.size(); ++m) {
        const int month = MonthNumber(View(line, tokens[m]));
        if (month == 0)
            continue;
        const std::string_view dayText = View(line, tokens[m + 1]);
        if (!AllDigits(dayText) || dayText.size() > 2)
            continue;
        const int day = SmallNumber(dayText);
        if (day < 1 || day > 31)
            continue;
        const std::string_view yearOrTime = View(line, tokens[m + 2]);
        item.ModifiedDate.month = month;
        item.ModifiedDate.day = day;
        item.ModifiedDate.second = 0;
        item.ModifiedDate.millisecond = 0;
        int hour = 0;
        int minute = 0;
        if (AllDigits(yearOrTime) && yearOrTime.size() == 4) {
            item.ModifiedDate.year = SmallNumber(yearOrTime);
            item.ModifiedDate.hour = 0;
            item.ModifiedDate.minute = 0;
        } else if (ParseClock(yearOrTime, hour, minute)) {
            item.ModifiedDate.year = month > now.month ? now.year - 1 : now.year;
            item.ModifiedDate.hour = hour;
            item.ModifiedDate.minute = minute;
        } else {
            continue;
        }
        // A date that does not exist (June 31, February 29 of a common year) is no date.
        if (day > DaysInMonth(item.ModifiedDate.year, month))
            continue;

        // Where a file shows its size, a character or block device shows its numbers, "major,
        // minor" or "major,minor"; a device has no size. fieldsEnd is the token after the group.
        std::size_t fieldsEnd = m - 1;
        const std::string_view sizeText = View(line, tokens[m - 1]);
        if (line[0] == 'c' || line[0] == 'b') {
            if (AllDigits(sizeText) && m >= 3 && IsDeviceMajor(View(line, tokens[m - 2]))) {
                fieldsEnd = m - 2;
            } else if (!AllDigits(sizeText) && !IsDeviceNumbers(sizeText)) {
                return false;
            }
            item.Size = 0;
        } else {
            const auto size = ParseSize(sizeText);
            if (!size)
                return false;
            item.Size = *size;
        }

        // Between the mode and the size: link count (optional), owner, group (optional). A
        // "major," ahead of the size of a line that is no device is ignored.
        thread_local std::vector<std::string_view> fields;
        fields.clear();
        for (std::size_t i = 1; i < fieldsEnd; ++i)
            fields.push_back(View(line, tokens[i]));
        if (fields.size() >= 2 && AllDigits(fields[0]))
            fields.erase(fields.begin());
        if (!fields.empty())
            item.OwnerName.assign(fields[0]);
        if (fields.size() >= 2 && fields[1].back() != ',')
            item.GroupName.assign(fields[1]);

        const std::size_t nameStart = tokens[m + 2].end + 1;
        if (nameStart >= line.size())
            return false;
        item.FileName.assign(line, nameStart);
        const char type = line[0];
        if (type == 'd') {
            item.ItemType = TIdDirItemType::ditDirectory;
        } else if (type == 'l' || type == 'L') {
            item.ItemType = TIdDirItemType::ditSymbolicLink;
            const std::size_t arrow = item.FileName.find(" -> ");
            if (arrow != std::string::npos)
                item.FileName.erase(arrow);
        } else {
            item.ItemType = TIdDirItemType::ditFile;
        }
        if (item.FileName.empty())
            return false;
        item.OwnerPermissions.assign(line, 1, 3);
        item.GroupPermissions.assign(line, 4, 3);
        item.OtherPermissions.assign(line, 7, 3);
        return true;
    }
    return false;
}

bool ParseDosLineInto(const std::string& line, const os::LocalDateTime& now, TIdFTPListItem& item) {
    thread_local std::vector<Token> tokens;
    Tokenize(line, tokens);
    if (tokens.size() < 4)
        return false;
    // Date: MM-DD-YY or MM-DD-YYYY.
    const std::string_view date = View(line, tokens[0]);
    if (date.size() != 8 && date.size() != 10)
        return false;
    if (date[2] != '-' || date[5] != '-')
        return false;
    const std::string_view monthText = date.substr(0, 2);
    const std::string_view dayText = date.substr(3, 2);
    const std::string_view yearText = date.substr(6);
    if (!AllDigits(monthText) || !AllDigits(dayText) || !AllDigits(yearText))
        return false;
    item.ModifiedDate.month = SmallNumber(monthText);
    item.ModifiedDate.day = SmallNumber(dayText);
    if (item.ModifiedDate.month < 1 || item.ModifiedDate.month > 12 || item.ModifiedDate.day < 1 ||
        item.ModifiedDate.day > 31) {
        return false;
    }
    item.ModifiedDate.year = yearText.size() == 2 ? NearestCentury(SmallNumber(yearText), now.year)
                                                  : SmallNumber(yearText);
    if (item.ModifiedDate.day > DaysInMonth(item.ModifiedDate.year, item.ModifiedDate.month))
        return false;
    // Time: HH:MM, optionally followed by AM or PM (attached or as its own token).
    std::size_t next = 1;
    std::string_view timeText = View(line, tokens[next]);
    std::string_view suffix;
    if (timeText.size() > 2) {
        const std::string_view tail = timeText.substr(timeText.size() - 2);
        if (tail == "AM" || tail == "PM" || tail == "am" || tail == "pm") {
            suffix = tail;
            timeText.remove_suffix(2);
        }
    }
    int hour = 0;
    int minute = 0;
    if (!ParseClock(timeText, hour, minute))
        return false;
    ++next;
    if (suffix.empty()) {
        const std::string_view own = View(line, tokens[next]);
        if (own == "AM" || own == "PM" || own == "am" || own == "pm") {
            suffix = own;
            ++next;
        }
    }
    if (!suffix.empty()) {
        if (hour < 1 || hour > 12)
            return false;
        const bool pm = suffix[0] == 'P' || suffix[0] == 'p';
        hour = hour % 12 + (pm ? 12 : 0);
    }
    item.ModifiedDate.hour = hour;
    item.ModifiedDate.minute = minute;
    item.ModifiedDate.second = 0;
    item.ModifiedDate.millisecond = 0;
    if (next + 1 >= tokens.size())
        return false;  // a size or <DIR>, then a name
    const std::string_view kind = View(line, tokens[next]);
    if (kind == "<DIR>" || kind == "<dir>") {
        item.ItemType = TIdDirItemType::ditDirectory;
        item.Size = 0;
    } else {
        const auto size = ParseSize(kind);
        if (!size)
            return false;
        item.ItemType = TIdDirItemType::ditFile;
        item.Size = *size;
    }
    item.FileName.assign(line, tokens[next + 1].begin);
    return true;
}

void ListingParser::Add(const std::string& line) {
    if (TIdFTPListItem* item = Parse(line))
        item->Text = line;
}

void ListingParser::Add(std::string&& line) {
    if (TIdFTPListItem* item = Parse(line))
        item->Text = std::move(line);
}

TIdFTPListItem* ListingParser::Parse(const std::string& line) {
    if (line.empty() || unknown_)
        return nullptr;
    if (format_ == ListingFormat::Unknown) {
        format_ = DetectListingFormat(line);
        if (format_ == ListingFormat::Unknown) {
            unknown_ = true;
            return nullptr;
        }
    }
    if (format_ == ListingFormat::Unix && StartsWithTotal(line))
        return nullptr;
    // Parsed in its place at the end of the items: an item is several strings, and moving one
    // in from aside costs as much again for each line of a large listing.
    TIdFTPListItem& item = items_.emplace_back();
    bool fits = false;
    try {
        fits = format_ == ListingFormat::Unix ? ParseUnixLineInto(line, now_, item)
                                              : ParseDosLineInto(line, now_, item);
    } catch (...) {
        items_.pop_back();
        throw;
    }
    if (!fits) {
        items_.pop_back();
        return nullptr;
    }
    return &item;
}

TIdFTPListItems ListingParser::Items() {
    if (unknown_)
        throw EIdUnknownListFormat();
    TIdFTPListItems items;
    items.swap(items_);
    return items;
}

TIdFTPListItems ParseListing(const std::vector<std::string>& lines, const os::LocalDateTime& now) {
    ListingParser parser(now);
    for (const std::string& line : lines) {
        parser.Add(line);
    }
    return parser.Items();
}

}  // namespace ftp
