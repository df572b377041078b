#pragma once
// Connecting a page and keeping it connected: the first connect with its log lines and start
// folder, the retry timer's attempts, Abort with its reconnect, the connect toggle, the user's
// disconnect and the component's connection events. It works on the page's controls, session,
// settings, listing and log through the frame.
//
// One connect at a time: every connect takes the page's exchange guard, so a retry tick, a
// toggle click or a ConnectSite that comes while a connect (or any exchange) of the page waits
// does nothing. A user's disconnect cuts into a waiting connect; the connect then ends without
// a retry. After login, a failure of the start folder's listing or PWD is logged and the page
// stays usable.
//
// States: disconnected, connecting, waiting for retry (Timer1 on), halted, connected.
#include <cstdint>
#include <string>

#include "connection/page_lifetime.h"

class Tfb;

class TPageConnector {
  public:
    // `page` owns the connector and must outlive it.
    explicit TPageConnector(Tfb& page);

    // Attempts made by the retry timer since the last ConnectSite.
    std::int32_t FRetryCount = 0;
    // The folder reached right after connecting.
    std::string FStartDir;

    void ConnectSite(bool isQuick);
    void Timer1Timer();
    void Abort();
    void ToggleClick();
    void HandleDisconnected();

    // The retry delay in whole seconds as the log names it (halves to even).
    static long long DelaySeconds(std::int32_t delayMs);

  private:
    // One connect and login with the site's time-out; false when it failed.
    bool Attempt();
    // Enters the default folder (or stays in the login folder) and lists it; failures after
    // the login are logged. The caller holds an exchange.
    void EnterStartFolder();
    // After a login: enters the start folder, then shows the connected or disconnected state,
    // unless the page was closed or disconnected since `disconnects` was read.
    void FinishLogin(const TPageLifetime::Run& run, unsigned disconnects);
    // The connected state: retry off, toggle 3, controls on, Upload and Abort on, anti-idle on.
    void ShowConnected();
    // The disconnected state a connection lost after the login leaves.
    void ShowDisconnected();
    void StartRetryTimer();

    // Marks the run of the connect under way for its length.
    class Connecting {
      public:
        Connecting(TPageConnector& connector, const TPageLifetime::Run& run)
            : connector_(connector), previous_(connector.connecting_) {
            connector_.connecting_ = &run;
        }
        ~Connecting() { connector_.connecting_ = previous_; }
        Connecting(const Connecting&) = delete;
        Connecting& operator=(const Connecting&) = delete;

      private:
        TPageConnector& connector_;
        const TPageLifetime::Run* previous_;
    };

    Tfb& page_;
    // The run of the connect under way, nullptr when none is.
    const TPageLifetime::Run* connecting_ = nullptr;
    // Counts the user's disconnects: a connect that finds it changed after its wait ends
    // without retry or listing.
    unsigned disconnects_ = 0;
};
