#pragma once
// Checks one table of a database image: its header, record tab, records, blob descriptors and
// every index chain with its order (see file_check.h for the list of problems).
#include <cstdint>
#include <string>

#include "tools/image_view.h"
#include "tools/problem_list.h"

namespace vesktool {

struct TableCheckContext {
    const ImageView& image;
    std::int64_t headerAt;  // inside the image, with a whole header there
    bool encryption;        // the file's encryption flag: enciphered keys are not compared
    ProblemList& problems;
};

// Adds the table's problems; returns the table's name.
std::string CheckTable(const TableCheckContext& context);

}  // namespace vesktool
