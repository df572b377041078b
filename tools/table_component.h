#pragma once
// The engine's table component on a file, as the tool's commands that go through it open it:
// the session's temporary database named by the path, the tool's password given to the
// engine's prompt as a user would type it.
#include <memory>
#include <string>

#include "engine/dataset/vesk_table.h"

namespace vesktool {

// The open component "T<table>"; throws the engine's errors ("Access denied" for a wrong
// password, the file's damage errors, "Table '%s' not found").
std::unique_ptr<vesk::TVeskTable> OpenTableComponent(const std::string& file,
                                                     const std::string& table,
                                                     const std::string& password);

}  // namespace vesktool
