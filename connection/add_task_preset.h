#pragma once
// What the task dialog shows when a page adds a task from its remote selection: the type
// "Download" as the file page's caption, the stored sites with this page's site chosen (the
// box cannot be changed), one row per selected entry in row order, and the task categories
// with the first chosen. The page's dialogs (TPageDialogs::ShowAddTask) take it from here.
#include <string>
#include <vector>

#include "connection/rtaskupdown.h"

class Tfb;

struct TAddTaskPreset {
    std::string taskType = "Download";
    std::vector<std::string> sites;  // the site list's names, "NewFTPSite" not among them
    int selectedSite = -1;           // the index of the page's site in `sites`, -1: none
    std::vector<rtaskupdown> files;
    std::vector<std::string> categories;
    int selectedCategory = -1;  // 0 when there is a category
};

// The preset for the selected rows of `page` (no rows: no files). The local folder of every
// row is the process's current folder; the remote folder the page's current folder.
TAddTaskPreset MakeAddTaskPreset(Tfb& page);
