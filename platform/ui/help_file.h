#pragma once
// The program's help file "Zantrope.hlp": its topics, each a context name (what help commands
// ask for), a title and a text in the help markup (help_markup.h), kept in a small binary
// file of our own. The help-file builder (tools/) writes it from the readable sources under
// data/help; the help viewer reads it.
//
// Layout (integers little-endian):
//   8 bytes   magic "ZTRHELP" followed by the byte 0x1A
//   u32       format version (1)
//   u32       topic count (1 .. kMaxHelpTopics)
//   per topic: u16 context length + context bytes, u16 title length + title bytes,
//              u32 text length + text bytes
// The file ends right after the last topic. Context names are ASCII letters, digits, '_',
// '-' and '.', unique when case is ignored (help commands find them with case ignored).
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct HelpTopic {
    std::string context;
    std::string title;
    std::string text;
    bool operator==(const HelpTopic&) const = default;
};

// The topic every help file has, the index the topics finder starts from.
inline constexpr const char* kHelpIndexTopic = "Contents";

inline constexpr std::uint32_t kHelpFileVersion = 1;
inline constexpr std::size_t kMaxHelpTopics = 4096;
inline constexpr std::size_t kMaxHelpContext = 64;
inline constexpr std::size_t kMaxHelpTitle = 512;
inline constexpr std::size_t kMaxHelpText = 1 << 20;
inline constexpr std::size_t kMaxHelpFileSize = 64u << 20;

// A help file that is missing, unreadable or damaged; what() is the whole message for the
// user, naming the file.
class HelpFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Why `topics` cannot be written ("no topics", "more than N topics", or "topic N has" an
// empty or badly formed context name, one an earlier topic has, no title or a field over its
// bound), or "" when they can.
std::string HelpTopicsProblem(const std::vector<HelpTopic>& topics);

// The file's bytes for `topics`. Throws std::invalid_argument with HelpTopicsProblem's text.
std::string EncodeHelpFile(const std::vector<HelpTopic>& topics);

// The topics in `bytes`, in file order. Every size, count and offset is checked before use;
// damaged bytes throw HelpFileError naming `path` and what is wrong.
std::vector<HelpTopic> DecodeHelpFile(std::string_view bytes, const std::string& path);

// Reads and decodes the file at `path`. Throws HelpFileError when it is missing, cannot be
// read, is larger than kMaxHelpFileSize or is damaged.
std::vector<HelpTopic> ReadHelpFile(const std::string& path);

// The topic with that context name, case ignored; null when there is none.
const HelpTopic* FindHelpTopic(const std::vector<HelpTopic>& topics, std::string_view context);

}  // namespace ui
