#include "tools/help_source.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "platform/os/file_replace.h"
#include "platform/ui/help_markup.h"

namespace helptool {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

ParsedSource ParseHelpSource(std::string_view source, const std::string& name) {
    ParsedSource parsed;
    auto problem = [&](int line, const std::string& what) {
        parsed.problems.push_back(name + ": line " + std::to_string(line) + ": " + what);
    };
    int line = 0;
    bool haveContext = false;
    bool haveTitle = false;
    while (!source.empty()) {
        const std::size_t end = source.find('\n');
        const std::string_view text = Trimmed(source.substr(0, end));
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        ++line;
        if (text.empty())
            break;
        const std::size_t colon = text.find(':');
        const std::string_view key = colon == std::string_view::npos ? text : text.substr(0, colon);
        const std::string value(colon == std::string_view::npos ? std::string_view()
                                                                : Trimmed(text.substr(colon + 1)));
        if (colon == std::string_view::npos) {
            problem(line, "a header line is \"name: value\"; a blank line ends the header");
        } else if (key == "context" && !haveContext) {
            parsed.topic.context = value;
            haveContext = true;
        } else if (key == "title" && !haveTitle) {
            parsed.topic.title = value;
            haveTitle = true;
        } else {
            problem(line, "\"" + std::string(key) + "\" is not a header line here");
        }
    }
    if (!haveContext)
        problem(line, "the header has no \"context:\" line");
    if (!haveTitle)
        problem(line, "the header has no \"title:\" line");
    parsed.topic.text = std::string(source);
    return parsed;
}

std::vector<std::string> HelpSourcesProblems(const std::vector<ui::HelpTopic>& topics,
                                             const std::vector<std::string>& names) {
    std::vector<std::string> problems;
    if (std::string problem = ui::HelpTopicsProblem(topics); !problem.empty())
        problems.push_back("the topics cannot be written: " + problem);
    if (ui::FindHelpTopic(topics, ui::kHelpIndexTopic) == nullptr)
        problems.push_back(std::string("no topic has the index's context name \"") +
                           ui::kHelpIndexTopic + "\"");
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const std::string& name = i < names.size() ? names[i] : topics[i].context;
        const ui::HelpMarkup markup = ui::ParseHelpMarkup(topics[i].text);
        for (const std::string& problem : markup.problems)
            problems.push_back(name + ": the text's " + problem);
        for (const std::string& link : ui::HelpLinks(markup)) {
            if (ui::FindHelpTopic(topics, link) == nullptr)
                problems.push_back(name + ": the link to \"" + link + "\" names no topic");
        }
    }
    return problems;
}

bool BuildHelpFile(const std::string& output, const std::vector<std::string>& paths,
                   std::ostream& errors) {
    std::vector<ui::HelpTopic> topics;
    std::vector<std::string> problems;
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (!in) {
            problems.push_back(path + ": cannot be read");
            continue;
        }
        ParsedSource parsed = ParseHelpSource(text.str(), path);
        problems.insert(problems.end(), parsed.problems.begin(), parsed.problems.end());
        topics.push_back(std::move(parsed.topic));
    }
    if (problems.empty())
        problems = HelpSourcesProblems(topics, paths);
    if (problems.empty() &&
        os::ReplaceFileContents(output, ui::EncodeHelpFile(topics)) != os::ReplaceResult::kReplaced)
        problems.push_back(output + ": cannot be written");
    for (const std::string& problem : problems)
        errors << "help_builder: " << problem << '\n';
    return problems.empty();
}

}  // namespace helptool
