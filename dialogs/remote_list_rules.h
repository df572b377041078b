#pragma once
// The rules of the filter and find dialogs on a page's remote list, without widgets.
#include <string>

struct rdatalist;

namespace dialogs {

// The extension of `name` as the filter compares it: from the last dot on, the dot included;
// empty when the name has no dot or a backslash or colon follows its last dot.
std::string FileExtension(const std::string& name);

// Whether the filter `pattern` takes `entry` out of the display list: only a file (the
// entry's own flag, whatever its type text says) whose "*" + extension differs from the
// pattern, compared exactly as text (no wildcards). "*.*" takes nothing out.
bool FilterRemoves(const rdatalist& entry, const std::string& pattern);

// Whether the find text `text` matches the entry name `name`: `text` occurs in `name`, or
// equals it with `wholeName`; both compared with ASCII letters folded to one case unless
// `caseSensitive`. An empty text matches nothing.
bool FindMatches(const std::string& name, const std::string& text, bool caseSensitive,
                 bool wholeName);

}  // namespace dialogs
