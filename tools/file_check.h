#pragma once
// `vesk check`: walks a database file by the format's rules alone, without the engine, and
// names every problem it finds: structures or offsets outside the file, chunk chains that
// loop, end early or run on past ceil(n / 1024) chunks, counts over their slots, record and
// blob offsets out of range, and index orders that repeat or skip a live entry, leave their
// key order or hold a duplicate of a unique key; names of tables, fields, indexes and
// algorithms outside the naming rules, field types and text sizes no table can be loaded with,
// records on a structure, any two structures of the file (headers, chunks with their full size,
// records, blob areas; structure_map.h) that share bytes, and compressed values that do not
// decode. A last chunk needs only its used part inside the file, as the engine reads it. Key order
// is not checked on enciphered fields; compressed values of an enciphered file are decoded only
// with its password. What a writer killed in the middle of an append leaves behind (the entry it
// was writing past the counted ones, a chunk linked past the counted ones) is named as a write that
// was cut short, not as damage.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vesktool {

// At most this many problems are listed; a last line tells how many more were found.
constexpr size_t kMaxListedProblems = 200;

// What a check finds: the problems of a damaged file, and the marks that a write left when it
// was cut short (its writer killed), which the engine reads as the table without the row that
// was being written. A file with marks only is sound.
struct CheckReport {
    std::vector<std::string> problems;
    std::vector<std::string> interrupted;
};

// The report on a database image. Never throws on bad content; a password that does not match
// the file's digest throws std::runtime_error("Access denied").
CheckReport CheckImage(std::span<const std::uint8_t> image,
                       const std::optional<std::string>& password = {});
// Reads the file and checks it. Throws std::runtime_error when the file cannot be read
// ("Cannot open file <path>" also for a FIFO, a device or a folder, at once).
CheckReport CheckFile(const std::string& path, const std::optional<std::string>& password = {});

// The problems alone (empty when the file is sound), thrown as the two above.
std::vector<std::string> CheckDatabaseImage(std::span<const std::uint8_t> image,
                                            const std::optional<std::string>& password = {});
std::vector<std::string> CheckDatabaseFile(const std::string& path,
                                           const std::optional<std::string>& password = {});

}  // namespace vesktool
