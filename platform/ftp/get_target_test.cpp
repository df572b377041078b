#include "platform/ftp/get_target.h"

#include <gtest/gtest.h>

namespace ftp {
namespace {

TEST(GetTarget, EveryCombination) {
    const struct {
        bool exists, overwrite, resume;
        GetTarget expected;
    } cases[] = {
        {false, false, false, GetTarget::kCreate},  {false, true, false, GetTarget::kCreate},
        {false, false, true, GetTarget::kCreate},   {false, true, true, GetTarget::kCreate},
        {true, true, false, GetTarget::kOverwrite}, {true, false, true, GetTarget::kAppend},
        {true, false, false, GetTarget::kRefuse},   {true, true, true, GetTarget::kRefuse},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseGetTarget(c.exists, c.overwrite, c.resume), c.expected)
            << c.exists << c.overwrite << c.resume;
    }
}

}  // namespace
}  // namespace ftp
