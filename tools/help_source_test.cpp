#include "tools/help_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/os/testing/temp_folder.h"
#include "platform/ui/help_markup.h"

namespace helptool {
namespace {

TEST(HelpSource, TheHeaderGivesContextAndTitleAndTheRestIsTheText) {
    const ParsedSource parsed = ParseHelpSource(
        "context: Newitem6\ntitle:  The connection page \n\nFirst.\n\nSecond.\n", "page.topic");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_EQ(parsed.topic,
              (ui::HelpTopic{"Newitem6", "The connection page", "First.\n\nSecond.\n"}));

    EXPECT_EQ(ParseHelpSource("context: a\ncolour: red\n\nText", "x.topic").problems,
              (std::vector<std::string>{"x.topic: line 2: \"colour\" is not a header line here",
                                        "x.topic: line 3: the header has no \"title:\" line"}));
    EXPECT_EQ(ParseHelpSource("Just text\n", "y.topic").problems.size(), 3u);
}

TEST(HelpSource, LinksToMissingTopicsAMissingIndexAndFaultyMarkupAreProblems) {
    const std::vector<ui::HelpTopic> topics = {
        {"Newitem", "Sites", "See [[Newitem6|the page]] and [[Newitem]].\n"},
        {"Newitem6", "The page", "Broken [[link\n"},
    };
    EXPECT_EQ(
        HelpSourcesProblems(topics, {"a.topic", "b.topic"}),
        (std::vector<std::string>{"no topic has the index's context name \"Contents\"",
                                  "b.topic: the text's line 1: \"[[\" is not closed by \"]]\""}));
    const std::vector<ui::HelpTopic> unlinked = {{"Contents", "Topics", "[[gone]]"},
                                                 {"contents", "Again", ""}};
    EXPECT_EQ(HelpSourcesProblems(unlinked, {"c.topic", "d.topic"}),
              (std::vector<std::string>{"the topics cannot be written: topic 2 has the context "
                                        "name \"contents\" of an earlier topic",
                                        "c.topic: the link to \"gone\" names no topic"}));
}

TEST(HelpSource, TheBuilderWritesAFileThatReadsBackAndLeavesItWhenASourceIsFaulty) {
    os::testing::TempFolder folder("helpsrc");
    const std::string index = folder.File("index.topic");
    const std::string page = folder.File("page.topic");
    const std::string output = folder.File("Zantrope.hlp");
    std::ofstream(index) << "context: Contents\ntitle: Topics\n\n- [[Newitem6]]\n";
    std::ofstream(page) << "context: Newitem6\ntitle: The page\n\nConnect.\n";
    std::ostringstream errors;
    ASSERT_TRUE(BuildHelpFile(output, {index, page}, errors)) << errors.str();
    EXPECT_EQ(ui::ReadHelpFile(output),
              (std::vector<ui::HelpTopic>{{"Contents", "Topics", "- [[Newitem6]]\n"},
                                          {"Newitem6", "The page", "Connect.\n"}}));

    const std::string before = ui::EncodeHelpFile(ui::ReadHelpFile(output));
    std::ofstream(page) << "context: Newitem6\n\nNo title.\n";
    EXPECT_FALSE(BuildHelpFile(output, {index, page, folder.File("missing.topic")}, errors));
    EXPECT_NE(errors.str().find(page + ": line 2: the header has no \"title:\" line"),
              std::string::npos)
        << errors.str();
    EXPECT_NE(errors.str().find("missing.topic: cannot be read"), std::string::npos);
    EXPECT_EQ(ui::EncodeHelpFile(ui::ReadHelpFile(output)), before);
}

// The help file the build lays into the program's folder: every topic a help command asks for is
// there with real text, and the index leads to each of them.
TEST(HelpSource, TheShippedHelpFileHoldsEveryTopicTheProgramAsksFor) {
    const std::vector<ui::HelpTopic> topics = ui::ReadHelpFile(ZANTROPE_APP_DIR "/Zantrope.hlp");
    const ui::HelpTopic* index = ui::FindHelpTopic(topics, ui::kHelpIndexTopic);
    ASSERT_NE(index, nullptr);
    const std::vector<std::string> indexLinks = ui::HelpLinks(ui::ParseHelpMarkup(index->text));
    for (const char* context : {"Newitem", "Newitem20", "item23", "item25", "Newitem6", "Overview",
                                "item29", "item30", "item31", "item32", "newitem12", "newitem22"}) {
        const ui::HelpTopic* topic = ui::FindHelpTopic(topics, context);
        ASSERT_NE(topic, nullptr) << context;
        EXPECT_EQ(topic->context, context);  // as the commands spell it
        EXPECT_GT(ui::HelpPlainText(ui::ParseHelpMarkup(topic->text)).size(), 600u) << context;
        EXPECT_NE(std::find(indexLinks.begin(), indexLinks.end(), topic->context), indexLinks.end())
            << context;
    }
}

// What the shipped topics say of the program's behaviour where it is easy to get wrong: each
// case a topic, a text it must hold and one it must not (blanks and line breaks as one blank).
TEST(HelpSource, TheShippedTopicsSayWhatTheProgramDoes) {
    const std::vector<ui::HelpTopic> topics = ui::ReadHelpFile(ZANTROPE_APP_DIR "/Zantrope.hlp");
    auto plain = [&topics](const char* context) {
        const ui::HelpTopic* topic = ui::FindHelpTopic(topics, context);
        if (topic == nullptr)
            return std::string();
        std::string text;
        for (const char c : ui::HelpPlainText(ui::ParseHelpMarkup(topic->text))) {
            const bool blank = c == ' ' || c == '\n' || c == '\t';
            if (!blank)
                text += c;
            else if (!text.empty() && text.back() != ' ')
                text += ' ';
        }
        return text;
    };
    struct Case {
        const char* context;
        const char* says;
        const char* never;
    };
    const Case cases[] = {
        // Abort on a page whose connection is open leaves it disconnected.
        {"Newitem6", "It does not connect again", "a transfer included, and connects again"},
        {"Newitem6", "items dropped on a folder of the list go into that folder", ""},
        {"Newitem6", "lists them so that you can delete some", "to delete or go to"},
        {"Newitem20", "opens the list to delete some of them", "to go to or delete"},
        // [MAIN] keeps the folder, the left tab and width, not the pane's view.
        {"Newitem20", "the width of the left side are remembered", "the view are remembered"},
        // The switch is honoured; the command is picked at random.
        {"item29", "while it is off, no command is sent", "stores whether anti-idle is wanted"},
        {"item29", "chosen at random", "in turn"},
        {"Duplicates", "the local file is cut back to what it held before", ""},
        {"Overview", "how many attempts the page makes in all", "how often, and after"},
        {"item25", "with all its tasks. Nothing is asked.", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.context) + ": " + c.says);
        const std::string text = plain(c.context);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.find(c.says), std::string::npos) << text;
        if (*c.never != '\0') {
            EXPECT_EQ(text.find(c.never), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace helptool
