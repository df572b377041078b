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

TEST(AntiFreeze, StepIsCappedAtFiftyMillisecondsAndABusyTransferPumpsEveryFive) {
    TIdAntiFreeze antiFreeze;
    const struct {
        int set, step, busy;
    } cases[] = {{0, 50, 5}, {-5, 50, 5}, {1, 1, 1}, {3, 3, 3}, {50, 50, 5}, {500, 50, 5}};
    for (const auto& c : cases) {
        antiFreeze.IdleTimeOut = c.set;
        EXPECT_EQ(TIdAntiFreeze::StepMs(), c.step) << c.set;
        EXPECT_EQ(TIdAntiFreeze::BusyPumpMs(), c.busy) << c.set;
    }
}

TEST(AntiFreeze, TheWaitingPumpIsTheNewestOnesToo) {
    TIdAntiFreeze first;
    std::string waited;
    first.OnWait = [&](int fd, short, int timeoutMs) {
        waited += std::to_string(fd) + "/" + std::to_string(timeoutMs);
    };
    EXPECT_TRUE(TIdAntiFreeze::CanWait());
    TIdAntiFreeze::DoWait(7, 1, 30);
    {
        TIdAntiFreeze second;  // pumps in steps only
        EXPECT_FALSE(TIdAntiFreeze::CanWait());
    }
    EXPECT_TRUE(TIdAntiFreeze::CanWait());
    EXPECT_EQ(waited, "7/30");
}

}  // namespace
}  // namespace ftp
