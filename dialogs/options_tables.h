#pragma once
// The options dialog's reads and writes of the options row (table `options`) and of the
// anti-idle command and ASCII extension lists (tables `antiidle` and `ascext`, a text and an
// in-use mark per row). Each call opens the table and closes it again, also when it throws;
// closing discards a row that was not posted. Errors are the engine's.
#include <string>
#include <vector>

namespace vesk {
class TVeskTable;
}

namespace dialogs {

// The options row. Read from a table without a row, every value is false, 0 or empty.
struct OptionsValues {
    bool eanti = false;
    int interval = 0;
    std::string transfermode;  // "auto", "ascii", "binary"
    std::string transferc;     // "none", "disconnect", "quit", "exit"
    int recvb = 0;
    int sendb = 0;
    bool appe = false;

    bool operator==(const OptionsValues&) const = default;
};

// One entry of a list with check marks.
struct CheckedText {
    std::string text;
    bool checked = false;

    bool operator==(const CheckedText&) const = default;
};

// The column of the list text in `antiidle` and in `ascext`.
inline constexpr const char* kCommandColumn = "command";
inline constexpr const char* kExtensionColumn = "ext";

class OptionsTables {
  public:
    OptionsValues ReadOptions(vesk::TVeskTable& options);
    // Edits the current row (on an empty table: starts the one row) and posts it.
    void WriteOptions(vesk::TVeskTable& options, const OptionsValues& values);

    // The rows of a list table (`textColumn` and `tf`) in table order.
    std::vector<CheckedText> ReadList(vesk::TVeskTable& table, const char* textColumn);
    // Empties the table and appends one row per entry, in order. When that fails, the rows
    // the table held are written back (as far as the table lets them) and the error passes on.
    void WriteList(vesk::TVeskTable& table, const char* textColumn,
                   const std::vector<CheckedText>& entries);
    // Sets `tf` of the row whose text equals `text` exactly; false when there is none
    // (nothing written).
    bool SetCheckMark(vesk::TVeskTable& table, const char* textColumn, const std::string& text,
                      bool checked);
};

}  // namespace dialogs
