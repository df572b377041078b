#include "connection/exchange_guard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

void RunPosted() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

TEST(ExchangeGuard, OneExchangeAtATime) {
    QObject context;
    TExchangeGuard guard(context);
    EXPECT_FALSE(guard.Busy());
    {
        auto first = guard.TryBegin();
        ASSERT_TRUE(first);
        EXPECT_TRUE(guard.Busy());
        EXPECT_FALSE(guard.TryBegin());  // a tick inside the wait: skipped
    }
    EXPECT_FALSE(guard.Busy());
    EXPECT_TRUE(guard.TryBegin());
}

// Commands that come while an exchange waits run afterwards, in order, from the event loop
// and one exchange at a time.
TEST(ExchangeGuard, DeferredCommandsWaitTheirTurn) {
    QObject context;
    TExchangeGuard guard(context);
    std::vector<std::string> ran;
    guard.RunOrDefer([&] { ran.push_back("idle: at once"); });
    EXPECT_EQ(ran, std::vector<std::string>{"idle: at once"});

    std::optional<TExchangeGuard::Exchange> held;
    {
        auto exchange = guard.TryBegin();
        guard.RunOrDefer([&] {
            ran.push_back("first");
            held.emplace(guard);  // its own exchange, still waiting when it returns
        });
        guard.RunOrDefer([&] { ran.push_back("second"); });
        EXPECT_EQ(guard.Deferred(), 2u);
        EXPECT_EQ(ran.size(), 1u);
    }
    EXPECT_EQ(ran.size(), 1u) << "ran inside the stack that ended the exchange";
    RunPosted();
    EXPECT_EQ(ran, (std::vector<std::string>{"idle: at once", "first"}));
    EXPECT_EQ(guard.Deferred(), 1u);
    held.reset();
    RunPosted();
    EXPECT_EQ(ran, (std::vector<std::string>{"idle: at once", "first", "second"}));
    EXPECT_EQ(guard.Deferred(), 0u);
}

TEST(ExchangeGuard, DeferredCommandsGoWithTheirPage) {
    auto context = std::make_unique<QObject>();
    auto guard = std::make_unique<TExchangeGuard>(*context);
    bool ran = false;
    {
        auto exchange = guard->TryBegin();
        guard->RunOrDefer([&] { ran = true; });
    }
    guard.reset();
    context.reset();
    RunPosted();
    EXPECT_FALSE(ran);
}

}  // namespace
