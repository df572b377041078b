#include "platform/ui/help_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "platform/os/collation.h"

namespace ui {

namespace {

constexpr std::string_view kMagic("ZTRHELP\x1a", 8);

bool IsContextChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Why `context` cannot name a topic, or "".
std::string ContextProblem(std::string_view context) {
    if (context.empty())
        return "an empty context name";
    if (context.size() > kMaxHelpContext)
        return "a context name longer than " + std::to_string(kMaxHelpContext) + " characters";
    for (const char c : context) {
        if (!IsContextChar(c))
            return "the context name \"" + std::string(context) +
                   "\", which holds a character other than letters, digits, '_', '-' and '.'";
    }
    return "";
}

// What is wrong with a topic, worded to follow "topic N has", or "". Shared by the writer
// and the reader, so a file the builder writes always reads back.
std::string TopicProblem(const HelpTopic& topic, std::set<std::string>& seen) {
    if (std::string problem = ContextProblem(topic.context); !problem.empty())
        return problem;
    if (!seen.insert(os::AsciiUpperText(topic.context)).second)
        return "the context name \"" + topic.context + "\" of an earlier topic";
    if (topic.title.empty())
        return "no title";
    if (topic.title.size() > kMaxHelpTitle)
        return "a title over " + std::to_string(kMaxHelpTitle) + " bytes";
    if (topic.text.size() > kMaxHelpText)
        return "a text over " + std::to_string(kMaxHelpText) + " bytes";
    return "";
}

void PutInteger(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// Reads the file's bytes front to back; every read is checked against what is left.
class Cursor {
  public:
    Cursor(std::string_view bytes, const std::string& path) : bytes_(bytes), path_(path) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw HelpFileError("The help file \"" + path_ + "\" is damaged: " + what + ".");
    }

    std::uint32_t Integer(int size, const std::string& what) {
        const std::string_view raw = Bytes(static_cast<std::size_t>(size), what);
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(raw[i])) << (8 * i);
        return value;
    }

    std::string_view Bytes(std::size_t count, const std::string& what) {
        if (count > bytes_.size() - offset_)
            Fail(what + " runs past the end of the file (" + std::to_string(bytes_.size()) +
                 " bytes)");
        const std::string_view part = bytes_.substr(offset_, count);
        offset_ += count;
        return part;
    }

    // A length-prefixed field of at most `limit` bytes.
    std::string Field(int lengthSize, std::size_t limit, const std::string& what) {
        const std::uint32_t length = Integer(lengthSize, "the length of " + what);
        if (length > limit)
            Fail("the length of " + what + " is " + std::to_string(length) + ", over its bound " +
                 std::to_string(limit));
        return std::string(Bytes(length, what));
    }

    bool AtEnd() const { return offset_ == bytes_.size(); }
    std::size_t Left() const { return bytes_.size() - offset_; }

  private:
    std::string_view bytes_;
    const std::string& path_;
    std::size_t offset_ = 0;
};

// The whole file, refusing one over kMaxHelpFileSize before reading it.
std::string ReadBytes(const std::string& path) {
    auto unreadable = [&](int error) {
        if (error == ENOENT)
            return HelpFileError("The help file \"" + path + "\" does not exist.");
        return HelpFileError("The help file \"" + path +
                             "\" cannot be read: " + std::strerror(error) + ".");
    };
    // Not blocking: a path that names a pipe is refused below instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw unreadable(errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        throw unreadable(errno);
    if (!S_ISREG(status.st_mode))
        throw HelpFileError("The help file \"" + path + "\" is not a file.");
    if (static_cast<std::uint64_t>(status.st_size) > kMaxHelpFileSize)
        throw HelpFileError("The help file \"" + path + "\" is damaged: it is larger than " +
                            std::to_string(kMaxHelpFileSize) + " bytes.");
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw unreadable(errno);
        if (got == 0)
            return bytes;
        if (bytes.size() + static_cast<std::size_t>(got) > kMaxHelpFileSize)
            throw HelpFileError("The help file \"" + path + "\" is damaged: it is larger than " +
                                std::to_string(kMaxHelpFileSize) + " bytes.");
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

std::string HelpTopicsProblem(const std::vector<HelpTopic>& topics) {
    if (topics.empty())
        return "no topics";
    if (topics.size() > kMaxHelpTopics)
        return "more than " + std::to_string(kMaxHelpTopics) + " topics";
    std::set<std::string> seen;
    for (std::size_t i = 0; i < topics.size(); ++i) {
        if (std::string problem = TopicProblem(topics[i], seen); !problem.empty())
            return "topic " + std::to_string(i + 1) + " has " + problem;
    }
    return "";
}

std::string EncodeHelpFile(const std::vector<HelpTopic>& topics) {
    if (std::string problem = HelpTopicsProblem(topics); !problem.empty())
        throw std::invalid_argument("Cannot write the help file: " + problem + ".");
    std::string out(kMagic);
    PutInteger(out, kHelpFileVersion, 4);
    PutInteger(out, static_cast<std::uint32_t>(topics.size()), 4);
    for (const HelpTopic& topic : topics) {
        PutInteger(out, static_cast<std::uint32_t>(topic.context.size()), 2);
        out += topic.context;
        PutInteger(out, static_cast<std::uint32_t>(topic.title.size()), 2);
        out += topic.title;
        PutInteger(out, static_cast<std::uint32_t>(topic.text.size()), 4);
        out += topic.text;
    }
    return out;
}

std::vector<HelpTopic> DecodeHelpFile(std::string_view bytes, const std::string& path) {
    Cursor in(bytes, path);
    if (bytes.substr(0, kMagic.size()) != kMagic)
        throw HelpFileError("The help file \"" + path + "\" is not a help file of this program.");
    in.Bytes(kMagic.size(), "the file's mark");
    const std::uint32_t version = in.Integer(4, "the format version");
    if (version != kHelpFileVersion)
        throw HelpFileError("The help file \"" + path + "\" has format version " +
                            std::to_string(version) + "; this program reads version " +
                            std::to_string(kHelpFileVersion) + ".");
    const std::uint32_t count = in.Integer(4, "the topic count");
    if (count == 0 || count > kMaxHelpTopics)
        in.Fail("its topic count is " + std::to_string(count) + " (1 to " +
                std::to_string(kMaxHelpTopics) + " expected)");
    // Each topic takes at least 8 bytes besides its context and title: a count the rest of
    // the file cannot hold is refused before any topic is read.
    if (count > in.Left() / 8)
        in.Fail("its topic count " + std::to_string(count) + " does not fit in the file");
    std::vector<HelpTopic> topics;
    topics.reserve(count);
    std::set<std::string> seen;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string which = "topic " + std::to_string(i + 1) + " of " + std::to_string(count);
        HelpTopic topic;
        topic.context = in.Field(2, kMaxHelpContext, "the context name of " + which);
        topic.title = in.Field(2, kMaxHelpTitle, "the title of " + which);
        topic.text = in.Field(4, kMaxHelpText, "the text of " + which);
        if (std::string problem = TopicProblem(topic, seen); !problem.empty())
            in.Fail(which + " has " + problem);
        topics.push_back(std::move(topic));
    }
    if (!in.AtEnd())
        in.Fail("the file goes on for " + std::to_string(in.Left()) +
                " bytes after the last topic");
    return topics;
}

std::vector<HelpTopic> ReadHelpFile(const std::string& path) {
    return DecodeHelpFile(ReadBytes(path), path);
}

const HelpTopic* FindHelpTopic(const std::vector<HelpTopic>& topics, std::string_view context) {
    for (const HelpTopic& topic : topics) {
        if (os::CompareAnsiText(topic.context, context, /*caseInsensitive=*/true) == 0)
            return &topic;
    }
    return nullptr;
}

}  // namespace ui
