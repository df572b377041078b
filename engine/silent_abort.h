#pragma once
// The silent abort: an operation the user cancelled (a cancelled password prompt) ends by
// throwing EAbort. Callers that report errors to the user show nothing for it.
#include <stdexcept>

namespace vesk {

class EAbort : public std::runtime_error {
  public:
    EAbort() : std::runtime_error("Operation aborted") {}
};

}  // namespace vesk
