#pragma once
// The life of a connection page as its runs see it. A run (a queue run, a connect, any
// handler that waits in a blocking call and so lets other handlers run inside it) holds a
// TPageLifetime::Run for as long as it works on the page. Closing the page marks it closed;
// shutting it down marks it so for good and frees it only once the last run has ended, so a
// run coming back from a pump finds its frame alive and learns from Stopped() that it must
// end without touching the page's lists.
#include <functional>

class TPageLifetime {
  public:
    class Run {
      public:
        explicit Run(TPageLifetime& lifetime);
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

        // True once the page was closed or shut down after this run began (also when it
        // was opened again since): the run ends at its next check.
        bool Stopped() const;

      private:
        TPageLifetime& lifetime_;
        unsigned generation_;
    };

    TPageLifetime() = default;
    TPageLifetime(const TPageLifetime&) = delete;
    TPageLifetime& operator=(const TPageLifetime&) = delete;

    // The page is closed: every run begun so far is stopped.
    void MarkClosed();
    // The page is open again (shown and reconnected); runs begun before stay stopped.
    void Reopen();
    bool Closed() const { return closed_; }

    // The page is shut down for good: every run is stopped, and `release` is called once no
    // run is active (at once when none is). Called again, it does nothing.
    void ShutDown(std::function<void()> release);
    bool IsShutDown() const { return shutDown_; }

    int ActiveRuns() const { return runs_; }

  private:
    void RunEnded();

    unsigned generation_ = 0;
    int runs_ = 0;
    bool closed_ = false;
    bool shutDown_ = false;
    std::function<void()> release_;
};
