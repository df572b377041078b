#pragma once
// The connection page frame: one FTP session on a tab sheet of the main window. This is the
// frame as the main window holds it: its site name, its timers, its three lists and the calls
// the main window makes when it opens, closes and shuts a page down. The session itself, its
// connect and the contents of its lists belong to the page.
//
// Object names: the frame is "fr" + N (set by the main window); its children "Timer1"
// (reconnect retry), "Timer2" (anti-idle), "ListView1" (queue), "ListView2" (remote list),
// "ListView3" (protocol log).
#include <QWidget>

#include <string>

class QTimer;
class QTreeView;

namespace ui {
class ListView;
}

class Tfb : public QWidget {
  public:
    explicit Tfb(QWidget* parent = nullptr);
    ~Tfb() override;

    // The name the page was opened with: a stored site's name or a quick connection's host.
    std::string FSiteName;

    QTimer* Timer1;
    QTimer* Timer2;
    QTreeView* ListView1;
    ui::ListView* ListView2;
    QTreeView* ListView3;

    // Connects the page to its site (quick connect: to the quick-connect dialog's server).
    void ConnectSite(bool quickConnect);
    // How often ConnectSite has run on this frame.
    int ConnectCount() const { return connectCount_; }
    bool Connected() const { return connected_; }
    // Closes the session without QUIT. Throws what the FTP component throws.
    void Disconnect();
    // Empties the display list, the folder cache, the transfer queue and the three lists.
    void ClearLists();

    // The layout the main window saves and restores (heights in pixels).
    int LogHeight() const;
    void SetLogHeight(int height);
    int QueueHeight() const;
    void SetQueueHeight(int height);

  private:
    int connectCount_ = 0;
    bool connected_ = false;
};
