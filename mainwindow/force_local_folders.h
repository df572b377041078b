#pragma once
// Making the local folders of a download target exist before a transfer writes into them:
// the history re-run and the task runs both ask for a whole folder path, of which any number of
// outer levels may be gone.
#include <string>

// Makes sure that every folder of the absolute local path `path` exists, creating the missing
// ones level by level from the outermost missing one inwards ("/a/b/c" with only "/a" present
// creates "/a/b", then "/a/b/c"). A trailing "/" and empty components ("//") change nothing.
// Returns true when the path is empty or every level exists afterwards; false when a level
// cannot be created (a file in the way, no permission; the deeper levels are then not tried)
// or when the path is not absolute, since a relative folder would land wherever the process's
// current folder happens to be. Levels created before a failure stay. Never throws.
bool ForceLocalFolderLevels(const std::string& path);
