#pragma once
// What a page remembers of its export file: the folder of the last one (empty at first), where
// the save dialog opens the next time.
#include <string>

struct rsaveform {
    std::string exportdir;
};
