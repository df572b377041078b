#include "platform/ftp/get_target.h"

namespace ftp {

GetTarget ChooseGetTarget(bool exists, bool overwrite, bool resumeTakesPlace) {
    if (!exists)
        return GetTarget::kCreate;
    if (overwrite && !resumeTakesPlace)
        return GetTarget::kOverwrite;
    if (resumeTakesPlace && !overwrite)
        return GetTarget::kAppend;
    // Overwrite and resume at once, or neither: the existing file is kept.
    return GetTarget::kRefuse;
}

}  // namespace ftp
