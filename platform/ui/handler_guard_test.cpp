#include "platform/ui/handler_guard.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

class HandlerGuard : public ::testing::Test {
  protected:
    std::vector<std::string> errors_;
    ui::ScopedApplicationErrorHandler handler_{
        [this](std::exception_ptr error) { errors_.push_back(ui::ErrorText(error)); }};
};

TEST_F(HandlerGuard, ErrorOfAGuardedHandlerGoesToTheApplicationHandlerAndStopsIt) {
    bool wentOn = false;
    ui::RunGuarded([&] {
        throw std::runtime_error("Cannot open file /x/all.dat");
        wentOn = true;
    });
    ui::RunGuarded([] { throw 42; });  // not a std::exception
    ui::RunGuarded([] {});
    EXPECT_FALSE(wentOn);
    EXPECT_EQ(errors_, (std::vector<std::string>{"Cannot open file /x/all.dat", "unknown error"}));
}

TEST_F(HandlerGuard, GuardedConnectionsTakeTheSignalsArgumentsOrNone) {
    QPushButton button;
    button.setCheckable(true);
    std::vector<bool> checks;
    int plainClicks = 0;
    QObject::connect(&button, &QPushButton::clicked,
                     ui::Guarded([&](bool checked) { checks.push_back(checked); }));
    QObject::connect(&button, &QPushButton::clicked, ui::Guarded([&] { ++plainClicks; }));
    QObject::connect(&button, &QPushButton::clicked,
                     ui::Guarded([] { throw std::runtime_error("Button5Click failed"); }));
    button.click();  // returns normally although a handler threw
    button.click();
    EXPECT_EQ(checks, (std::vector<bool>{true, false}));
    EXPECT_EQ(plainClicks, 2);
    EXPECT_EQ(errors_, (std::vector<std::string>{"Button5Click failed", "Button5Click failed"}));
}

TEST_F(HandlerGuard, TimerHandlersAreGuardedInsideTheEventLoop) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout,
                     ui::Guarded([] { throw std::runtime_error("Timer1Timer failed"); }));
    timer.start(0);
    QTimer::singleShot(50, qApp, [] { qApp->exit(0); });
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_EQ(errors_, std::vector<std::string>{"Timer1Timer failed"});
}

class ThrowingWidget : public QWidget {
  protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("FormShow failed");
        return QWidget::event(e);
    }
};

TEST_F(HandlerGuard, EventHandlersOutsideConnectionsAreGuardedByTheApplication) {
    ThrowingWidget widget;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    EXPECT_EQ(errors_, std::vector<std::string>{"FormShow failed"});
}

TEST(HandlerGuardInstall, AFailingHandlerIsContainedAndTheOldHandlerComesBack) {
    int outerCalls = 0;
    ui::ScopedApplicationErrorHandler outer([&](std::exception_ptr) { ++outerCalls; });
    {
        ui::ScopedApplicationErrorHandler inner(
            [](std::exception_ptr) { throw std::logic_error("handler broke"); });
        EXPECT_NO_THROW(ui::RunGuarded([] { throw std::runtime_error("x"); }));
    }
    ui::RunGuarded([] { throw std::runtime_error("y"); });
    EXPECT_EQ(outerCalls, 1);
}

}  // namespace
