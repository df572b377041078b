#include "tools/schema_parser.h"

#include <charconv>
#include <vector>

#include "engine/file_format.h"
#include "engine/schema_rules.h"
#include "platform/os/collation.h"

namespace vesktool {

namespace {

using vesk::TFieldType;

bool SameWord(std::string_view a, std::string_view b) {
    return os::CompareAnsiText(a, b, true) == 0;
}

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r'))
            ++at;
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
            ++end;
        if (end > at)
            words.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

class Parser {
  public:
    vesk::DatabaseSchema Run(std::string_view text) {
        size_t at = 0;
        while (at <= text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string_view::npos)
                end = text.size();
            ++lineNo_;
            std::string_view line = text.substr(at, end - at);
            const size_t hash = line.find('#');
            if (hash != std::string_view::npos)
                line = line.substr(0, hash);
            const std::vector<std::string> words = SplitWords(line);
            if (!words.empty())
                Line(words);
            at = end + 1;
        }
        return std::move(schema_);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw SchemaError("line " + std::to_string(lineNo_) + ": " + what);
    }

    std::int32_t Number(const std::string& word, const char* what) const {
        std::int32_t value = 0;
        const char* end = word.data() + word.size();
        const auto [ptr, ec] = std::from_chars(word.data(), end, value);
        if (ec != std::errc() || ptr != end)
            Fail(std::string(what) + " '" + word + "' is no number");
        return value;
    }

    // Checks the number of words after the keyword: least to most of them.
    void Words(const std::vector<std::string>& words, size_t least, size_t most) const {
        const size_t given = words.size() - 1;
        if (given >= least && given <= most)
            return;
        const std::string count = least == most
                                      ? std::to_string(least)
                                      : std::to_string(least) + " to " + std::to_string(most);
        Fail("'" + words[0] + "' takes " + count + (most == 1 ? " word" : " words"));
    }

    vesk::SchemaTable& CurrentTable() {
        if (schema_.tables.empty())
            Fail("a field or index line before the first table line");
        return schema_.tables.back();
    }

    void Line(const std::vector<std::string>& words) {
        const std::string& keyword = words[0];
        vesk::SchemaOptions& options = schema_.options;
        if (SameWord(keyword, "table")) {
            Words(words, 1, 1);
            schema_.tables.push_back({words[1], {}, {}});
        } else if (SameWord(keyword, "field")) {
            Field(words);
        } else if (SameWord(keyword, "index")) {
            Index(words);
        } else if (SameWord(keyword, "compression")) {
            Words(words, 1, 1);
            options.compression = true;
            options.compressionName = words[1];
        } else if (SameWord(keyword, "encryption")) {
            Words(words, 2, 3);
            options.encryption = true;
            options.cipherName = words[1];
            const std::int32_t mode = Number(words[2], "cipher mode");
            if (mode < 0 || mode > vesk::kMaxCipherMode)
                Fail("cipher mode out of 0 to 4");
            options.cipherMode = static_cast<std::uint8_t>(mode);
            if (words.size() == 4)
                options.passwordDigest = words[3];
        } else if (SameWord(keyword, "blobcheck")) {
            Words(words, 0, 0);
            options.blobCheck = true;
        } else {
            Fail("unknown keyword '" + keyword + "'");
        }
    }

    void Field(const std::vector<std::string>& words) {
        Words(words, 2, 4);
        vesk::SchemaTable& table = CurrentTable();
        vesk::SchemaField field{words[1], vesk::ftUnknown, 0, 0};
        field.type = TypeNamed(words[2]);
        size_t next = 3;
        const bool text = field.type == vesk::ftString || field.type == vesk::ftFixedChar;
        if (text) {
            if (words.size() < 4)
                Fail("a " + words[2] + " field needs its size");
            field.dataSize = Number(words[3], "size");
            next = 4;
        }
        for (; next < words.size(); ++next) {
            if (!SameWord(words[next], "plain"))
                Fail("unexpected '" + words[next] + "'");
            field.processMode = 1;
        }
        table.fields.push_back(field);
    }

    TFieldType TypeNamed(const std::string& word) const {
        for (int code = vesk::ftUnknown + 1; code <= vesk::ftFMTBcd; ++code)
            if (SameWord(word, vesk::FieldTypeName(static_cast<std::uint8_t>(code))))
                return static_cast<TFieldType>(code);
        Fail("unknown field type '" + word + "'");
    }

    void Index(const std::vector<std::string>& words) {
        Words(words, 2, 6);
        vesk::SchemaTable& table = CurrentTable();
        vesk::SchemaIndex index{words[1], 0, {}};
        std::string_view list = words[2];
        while (true) {
            const size_t comma = list.find(',');
            const std::string_view name = list.substr(0, comma);
            index.fieldNumbers.push_back(FieldNumber(table, name));
            if (comma == std::string_view::npos)
                break;
            list = list.substr(comma + 1);
        }
        for (size_t w = 3; w < words.size(); ++w)
            index.options |= OptionNamed(words[w]);
        table.indexes.push_back(index);
    }

    std::int32_t FieldNumber(const vesk::SchemaTable& table, std::string_view name) const {
        for (size_t f = 0; f < table.fields.size(); ++f)
            if (SameWord(table.fields[f].name, name))
                return static_cast<std::int32_t>(f);
        Fail("index key '" + std::string(name) + "' is no field of table '" + table.name + "'");
    }

    std::uint8_t OptionNamed(const std::string& word) const {
        if (SameWord(word, "primary"))
            return vesk::format::kIdxPrimary;
        if (SameWord(word, "unique"))
            return vesk::format::kIdxUnique;
        if (SameWord(word, "descending"))
            return vesk::format::kIdxDescending;
        if (SameWord(word, "caseinsensitive"))
            return vesk::format::kIdxCaseInsensitive;
        Fail("unknown index option '" + word + "'");
    }

    vesk::DatabaseSchema schema_;
    int lineNo_ = 0;
};

}  // namespace

vesk::DatabaseSchema ParseSchema(std::string_view text) {
    return Parser().Run(text);
}

}  // namespace vesktool
