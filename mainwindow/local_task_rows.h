#pragma once
// The file rows of a new upload task made of the local pane's selection: one per selected item
// that still exists (as a folder for a folder, as a regular file otherwise), in the pane's
// order, with its name, its folder (ending with "/") and the remote folder "/". Items that are
// gone are left out without a word.
#include <vector>

#include "connection/rtaskupdown.h"

class TLocalFilePane;

std::vector<rtaskupdown> LocalTaskRows(const TLocalFilePane& pane);
