#pragma once
// The readable sources of the help file (data/help/*.topic), one per topic:
//
//   context: Newitem6
//   title: The connection page
//
//   The topic's text in the help markup (platform/ui/help_markup.h) ...
//
// The header lines come first, "name: value" each, ended by the first blank line; both are
// required. BuildHelpFile checks the topics as a whole and makes the help file's bytes.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/help_file.h"

namespace helptool {

// The topic in `source`, or the problems that keep it from one ("<name>: line 3: ...");
// `name` names the source in the problems.
struct ParsedSource {
    ui::HelpTopic topic;
    std::vector<std::string> problems;
};
ParsedSource ParseHelpSource(std::string_view source, const std::string& name);

// The problems of the topics as a whole: what HelpTopicsProblem finds, a markup fault, a link
// to a topic that is not there, and a missing index topic. `names` names each topic's source.
std::vector<std::string> HelpSourcesProblems(const std::vector<ui::HelpTopic>& topics,
                                             const std::vector<std::string>& names);

// Reads the sources at `paths` and writes the help file `output` (replaced whole). Prints the
// problems to `errors` and returns false when a source is missing or faulty or the file cannot
// be written; `output` is then left as it was.
bool BuildHelpFile(const std::string& output, const std::vector<std::string>& paths,
                   std::ostream& errors);

}  // namespace helptool
