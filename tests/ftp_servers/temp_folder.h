#pragma once
// The servers' private folders are the tests' temporary folders.
#include "platform/os/testing/temp_folder.h"

namespace ftptest {

using TempFolder = os::testing::TempFolder;

}  // namespace ftptest
