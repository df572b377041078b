#include "platform/ftp/id_anti_freeze.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ftp {
namespace {

TEST(AntiFreeze, NewestAliveOneIsInEffect) {
    std::string pumped;
    auto first = std::make_unique<TIdAntiFreeze>();
    first->OnIdle = [&] { pumped += "1"; };
    TIdAntiFreeze::DoProcess();
    {
        TIdAntiFreeze second;
        second.OnIdle = [&] { pumped += "2"; };
        second.IdleTimeOut = 20;
        EXPECT_EQ(TIdAntiFreeze::Current(), &second);
        EXPECT_EQ(TIdAntiFreeze::StepMs(), 20);
        TIdAntiFreeze::DoProcess();
    }
    TIdAntiFreeze::DoProcess();  // the second is gone: the first again
    first.reset();
    TIdAntiFreeze::DoProcess();  // none: nothing runs
    EXPECT_EQ(pumped, "121");
    EXPECT_EQ(TIdAntiFreeze::Current(), nullptr);
}

TEST(AntiFreeze, StepIsCappedAtFiftyMilliseconds) {
    TIdAntiFreeze antiFreeze;
    for (const auto& [set, step] : {std::pair{0, 50}, {-5, 50}, {1, 1}, {50, 50}, {500, 50}}) {
        antiFreeze.IdleTimeOut = set;
        EXPECT_EQ(TIdAntiFreeze::StepMs(), step) << set;
    }
}

}  // namespace
}  // namespace ftp
