#pragma once
// The connection page frame: one FTP session on a tab sheet of the main window. This is the
// frame as the main window holds it: its site name, its timers, its three lists, and how it
// opens, closes and shuts down. The session itself, its connect and the contents of its lists
// belong to the page.
//
// Object names: the frame is "fr" + N (set by the main window); its children "Timer1"
// (reconnect retry), "Timer2" (anti-idle), "ListView1" (queue), "ListView2" (remote list),
// "ListView3" (protocol log).
//
// Life: open → closed (ClosePage; the host hides the tab) → open again (ConnectSite) → ... →
// shut down (ShutDown, at exit). A shut-down frame frees itself, with the container it was
// given, once the last run on it has ended (Lifetime()), never inside one.
#include <QWidget>

#include <exception>
#include <string>

#include "connection/page_lifetime.h"

class QTimer;
class QTreeView;
class TPageHost;

namespace ui {
class ListView;
}

class Tfb : public QWidget {
    Q_OBJECT

  public:
    // `host` must outlive the frame.
    explicit Tfb(TPageHost& host, QWidget* parent = nullptr);
    ~Tfb() override;

    // The name the page was opened with: a stored site's name or a quick connection's host.
    std::string FSiteName;

    QTimer* Timer1;
    QTimer* Timer2;
    QTreeView* ListView1;
    ui::ListView* ListView2;
    QTreeView* ListView3;

    // Connects the page to its site (quick connect: to the quick-connect dialog's server).
    // Opens a closed page again.
    void ConnectSite(bool quickConnect);
    // How often ConnectSite has run on this frame.
    int ConnectCount() const { return connectCount_; }
    bool Connected() const { return connected_; }
    // Closes the session without QUIT. Throws what the FTP component throws.
    void Disconnect();
    // Empties the display list, the folder cache, the transfer queue and the three lists.
    void ClearLists();

    // Closes the page (the host then hides its tab): marks it closed, writes the shared
    // layout through the host, stops both timers, disconnects (an error there is passed
    // over: the session is gone either way) and empties the lists. A layout that cannot be
    // written does not keep the page open: its write error is returned, for the caller to
    // report once the page is closed; nullptr when it was written.
    std::exception_ptr ClosePage();
    // Shuts the page down for good (exit): the steps of ClosePage but the emptying, then
    // frees `container` (the frame's tab sheet, which owns the frame; the frame itself when
    // null) by deferred deletion once no run is active. Returns as ClosePage.
    std::exception_ptr ShutDown(QWidget* container);
    bool Closed() const { return lifetime_.Closed(); }
    // What runs on the page hold (TPageLifetime::Run) and check after each blocking call.
    TPageLifetime& Lifetime() { return lifetime_; }

    // The layout the main window saves and restores (heights in pixels).
    int LogHeight() const;
    void SetLogHeight(int height);
    int QueueHeight() const;
    void SetQueueHeight(int height);

  private:
    // The steps closing and shutting down share.
    std::exception_ptr EndSession();

    TPageHost& host_;
    TPageLifetime lifetime_;
    int connectCount_ = 0;
    bool connected_ = false;
};
