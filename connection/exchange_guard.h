#pragma once
// One FTP exchange at a time on a page's connection. An exchange (one command, or CWD, TYPE,
// PWD and LIST together, or a connect with its login and first listing) holds an Exchange for
// as long as it talks to the server. Its waits pump messages, so timers, buttons and menu
// items of the page run inside it; they ask the guard first and never write a command while a
// reply is awaited:
// - a timer tick (anti-idle, retry) that finds the guard busy does nothing (TryBegin);
// - a command that must not be lost waits its turn (RunOrDefer): it runs once the last
//   exchange has ended, from the event loop, never inside the stack that ended it.
// Abort and disconnect do not ask: they may cut into a wait.
//
// Not thread-safe: the user-interface thread only. Deferred commands are dropped with the
// guard (or with `context`, which must be the guard's owner).
#include <QObject>

#include <deque>
#include <functional>
#include <optional>

class TExchangeGuard {
  public:
    class Exchange {
      public:
        explicit Exchange(TExchangeGuard& guard);
        ~Exchange();
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

      private:
        TExchangeGuard& guard_;
    };

    explicit TExchangeGuard(QObject& context);
    TExchangeGuard(const TExchangeGuard&) = delete;
    TExchangeGuard& operator=(const TExchangeGuard&) = delete;

    // Whether an exchange of the page is under way (waiting for its server).
    bool Busy() const { return active_ > 0; }
    // Begins an exchange, or returns nothing when one is under way.
    std::optional<Exchange> TryBegin();
    // Runs `command` now when no exchange is under way; otherwise queues it to run, in order,
    // after the last exchange has ended. What it throws goes to the application error handler
    // when it runs deferred, and to the caller when it runs now.
    void RunOrDefer(std::function<void()> command);
    std::size_t Deferred() const { return deferred_.size(); }

  private:
    void Ended();
    void RunDeferred();

    QObject& context_;
    int active_ = 0;
    bool drainPosted_ = false;
    std::deque<std::function<void()>> deferred_;
};
