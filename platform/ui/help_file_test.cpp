#include "platform/ui/help_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/testing/temp_folder.h"

namespace ui {
namespace {

const std::vector<HelpTopic> kTopics = {
    {"Contents", "Help topics", "- [[Newitem6|The page]]\n"},
    {"Newitem6", "The connection page", "Connect, then download.\n"},
};

// The offset of the first topic (magic, version, count).
constexpr std::size_t kTopicsStart = 16;

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

std::string Decoded(const std::string& bytes) {
    try {
        DecodeHelpFile(bytes, "/p/Zantrope.hlp");
        return "<read>";
    } catch (const HelpFileError& error) {
        return error.what();
    }
}

TEST(HelpFile, TopicsReadBackFromTheFileInTheirOrderAndAreFoundWithCaseIgnored) {
    os::testing::TempFolder folder("help");
    const std::string path = folder.File("Zantrope.hlp");
    std::ofstream(path, std::ios::binary) << EncodeHelpFile(kTopics);
    const std::vector<HelpTopic> topics = ReadHelpFile(path);
    EXPECT_EQ(topics, kTopics);
    ASSERT_NE(FindHelpTopic(topics, "NEWITEM6"), nullptr);
    EXPECT_EQ(FindHelpTopic(topics, "NEWITEM6")->title, "The connection page");
    EXPECT_EQ(FindHelpTopic(topics, "Newitem"), nullptr);
}

// Every cut of a sound file is refused with a message naming the file, never read past.
TEST(HelpFile, EveryTruncationIsRefusedAsDamaged) {
    const std::string bytes = EncodeHelpFile(kTopics);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const std::string message = Decoded(bytes.substr(0, size));
        EXPECT_TRUE(message.starts_with("The help file \"/p/Zantrope.hlp\" is ")) << size;
        EXPECT_NE(message, "<read>") << size;
    }
    EXPECT_EQ(Decoded(bytes.substr(0, 60)),
              "The help file \"/p/Zantrope.hlp\" is damaged: the text of topic 1 of 2 runs past "
              "the end of the file (60 bytes).");
}

TEST(HelpFile, BadMarksCountsAndLengthsGiveTheirOwnMessages) {
    const std::string sound = EncodeHelpFile(kTopics);
    const std::string prefix = "The help file \"/p/Zantrope.hlp\" ";
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;  // written as four bytes at `at`
        std::string message;
    };
    const std::size_t firstText = kTopicsStart + 2 + 8 + 2 + 11;  // topic 1's text length
    const Case cases[] = {
        {"mark", 0, 0x4c454850, "is not a help file of this program."},
        {"version", 8, 2, "has format version 2; this program reads version 1."},
        {"no topics", 12, 0, "is damaged: its topic count is 0 (1 to 4096 expected)."},
        {"count over bound", 12, 5000, "is damaged: its topic count is 5000 (1 to 4096 expected)."},
        {"count the file cannot hold", 12, 4000,
         "is damaged: its topic count 4000 does not fit in the file."},
        {"one topic more", 12, 3,
         "is damaged: the length of the context name of topic 3 of 3 runs past the end of the "
         "file (" +
             std::to_string(sound.size()) + " bytes)."},
        {"one topic fewer", 12, 1,
         "is damaged: the file goes on for " + std::to_string(sound.size() - 67) +
             " bytes after the last topic."},
        {"text length over bound", firstText, 0xfffffff0,
         "is damaged: the length of the text of topic 1 of 2 is 4294967280, over its bound "
         "1048576."},
        {"text past the end", firstText, 1000,
         "is damaged: the text of topic 1 of 2 runs past the end of the file (" +
             std::to_string(sound.size()) + " bytes)."},
    };
    for (const Case& c : cases) {
        std::string bytes = sound;
        PutU32(bytes, c.at, c.value);
        EXPECT_EQ(Decoded(bytes), prefix + c.message) << c.what;
    }
    EXPECT_EQ(Decoded(sound + "x"),
              prefix + "is damaged: the file goes on for 1 bytes after the last topic.");
}

TEST(HelpFile, ContextNamesAreCheckedWhenReadAndWritten) {
    struct Case {
        std::vector<HelpTopic> topics;
        std::string problem;
    };
    const Case cases[] = {
        {{}, "no topics"},
        {{{"", "T", ""}}, "topic 1 has an empty context name"},
        {{{"a b", "T", ""}},
         "topic 1 has the context name \"a b\", which holds a character other than letters, "
         "digits, '_', '-' and '.'"},
        {{{"Overview", "T", ""}, {"overview", "U", ""}},
         "topic 2 has the context name \"overview\" of an earlier topic"},
        {{{"Overview", "", ""}}, "topic 1 has no title"},
        {{{std::string(65, 'x'), "T", ""}}, "topic 1 has a context name longer than 64 characters"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HelpTopicsProblem(c.topics), c.problem);
        EXPECT_THROW(EncodeHelpFile(c.topics), std::invalid_argument);
    }
    // The reader refuses the same: a file with a second "overview" written by hand.
    std::string bytes = EncodeHelpFile({{"Overview", "T", ""}, {"Averview", "U", ""}});
    bytes[kTopicsStart + 2 + 8 + 2 + 1 + 4 + 2] = 'o';
    EXPECT_EQ(Decoded(bytes),
              "The help file \"/p/Zantrope.hlp\" is damaged: topic 2 of 2 has the "
              "context name \"overview\" of an earlier topic.");
}

TEST(HelpFile, AMissingFileOrAFolderIsNamedInTheMessage) {
    os::testing::TempFolder folder("help");
    const std::string missing = folder.File("Zantrope.hlp");
    EXPECT_THROW(
        {
            try {
                ReadHelpFile(missing);
            } catch (const HelpFileError& error) {
                EXPECT_EQ(std::string(error.what()),
                          "The help file \"" + missing + "\" does not exist.");
                throw;
            }
        },
        HelpFileError);
    // A folder or a pipe in its place is refused at once, without waiting for a writer.
    std::filesystem::create_directory(missing);
    EXPECT_THROW(ReadHelpFile(missing), HelpFileError);
    const std::string pipe = folder.File("pipe.hlp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    try {
        ReadHelpFile(pipe);
        ADD_FAILURE() << "a pipe was read";
    } catch (const HelpFileError& error) {
        EXPECT_EQ(std::string(error.what()), "The help file \"" + pipe + "\" is not a file.");
    }
}

}  // namespace
}  // namespace ui
