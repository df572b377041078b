#pragma once
// Checks one table of a database image: its header, record tab, records, blob descriptors and
// every index chain with its order (see file_check.h for the list of problems).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/structure_map.h"
#include "tools/image_view.h"
#include "tools/problem_list.h"
#include "tools/value_decoder.h"

namespace vesktool {

struct TableCheckContext {
    const ImageView& image;
    std::int64_t headerAt;  // inside the image, with a whole header there
    bool encryption;        // the file's encryption flag: enciphered keys are not compared
    ProblemList& problems;
    // The header offsets of every table of the file: no record may lie on one.
    const std::vector<std::int64_t>& headers;
    // Decodes the blob values that take part in the file's codecs, where it can.
    ValueDecoder& decoder;
    // The table's number, and the map its structures go into (structure_map.h), to be checked
    // against the other tables' once every table is walked.
    std::int32_t tableNo;
    vesk::TStructureMap& structures;
};

// Adds the table's problems; returns the table's name.
std::string CheckTable(const TableCheckContext& context);

}  // namespace vesktool
