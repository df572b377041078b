#pragma once
// One command of a page that works on entries of the page's folder (rename, delete, make
// folder, permissions, export): it holds the page's run and one exchange of its session for
// its length, switches the browsing controls off while it works and on again afterwards, and
// brings the server into the folder the entries were listed in before it names one.
//
// What stops a command is written to the page's log as one line with the error icon,
// "<what> stopped: <reason>.", so the user learns why nothing happened:
// - another exchange of the page waits (a queue run, a listing): the command does nothing;
// - the server cannot be brought into the folder;
// - a disconnected page that was to connect first did not get connected.
#include <exception>
#include <optional>
#include <string>

#include "connection/exchange_guard.h"
#include "connection/page_lifetime.h"

class Tfb;

class TPageCommand {
  public:
    // `page` must outlive the command. `what` names it in log lines ("Delete").
    TPageCommand(Tfb& page, std::string what);
    // Switches the browsing controls on again while the page is connected (nothing when the
    // page was closed meanwhile).
    ~TPageCommand();
    TPageCommand(const TPageCommand&) = delete;
    TPageCommand& operator=(const TPageCommand&) = delete;

    // False when another exchange of the page waited: the command must not talk to the
    // server (the refusal is logged).
    bool Started() const { return exchange_.has_value(); }
    // The page was closed since the command began: touch nothing of it.
    bool Stopped() const { return run_.Stopped(); }
    const TPageLifetime::Run& Run() const { return run_; }

    // Brings the server into `folder` (CWD only when it may be elsewhere). False, logged,
    // when it cannot.
    bool EnterFolder(const std::string& folder);
    // Lists `folder` again as Refresh does: the selection goes with the old listing. Throws
    // what the listing throws.
    void Relist(const std::string& folder);
    // Logs `error` as the reason the command stopped.
    void Fail(const std::exception& error);
    void Fail(const std::string& reason);

    // Before a command that connects a disconnected page: connects it, and when the page
    // then shows another folder than `folder` (the start folder), lists `folder` again so
    // that the names the command holds mean that folder's entries. False, logged, when the
    // page is not connected afterwards or cannot show `folder`; true at once for a connected
    // page. Call it before the command begins (a connect takes the exchange itself).
    static bool ConnectInto(Tfb& page, std::string folder, const std::string& what);

  private:
    Tfb& page_;
    std::string what_;
    TPageLifetime::Run run_;
    std::optional<TExchangeGuard::Exchange> exchange_;
};

// An error's text, "Unknown error" when it has none.
std::string CommandErrorText(const std::exception& error);
