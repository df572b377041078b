#include "platform/ui/message_pump.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/ui/handler_guard.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

TEST(MessagePump, RunsPendingHandlersGuardedAndReturns) {
    int ran = 0;
    int errors = 0;
    ui::ScopedApplicationErrorHandler handler([&](std::exception_ptr) { ++errors; });
    QTimer::singleShot(0, qApp, [&] { ++ran; });
    QTimer::singleShot(0, qApp, ui::Guarded([] { throw std::runtime_error("Timer2Timer"); }));
    ui::ProcessMessages();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(errors, 1);

    const std::function<void()> pump = ui::MessagePump();
    QTimer::singleShot(0, qApp, [&] { ++ran; });
    pump();
    EXPECT_EQ(ran, 2);
}

}  // namespace
