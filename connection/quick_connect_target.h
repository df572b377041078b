#pragma once
// The server a quick connection goes to, as the quick-connect dialog holds it while it is open:
// the dialog fills one and keeps it in effect (TScopedQuickConnectTarget) while it asks the
// main window to open the page, and the page reads it when it loads its settings.
#include <string>

struct TQuickConnectTarget {
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    bool passive = false;
};

// The target in effect, nullptr when no quick-connect dialog offers one.
const TQuickConnectTarget* CurrentQuickConnectTarget();

// Puts `target` in effect for its lifetime and restores the previous one afterwards. The
// target must outlive the object.
class TScopedQuickConnectTarget {
  public:
    explicit TScopedQuickConnectTarget(const TQuickConnectTarget& target);
    ~TScopedQuickConnectTarget();
    TScopedQuickConnectTarget(const TScopedQuickConnectTarget&) = delete;
    TScopedQuickConnectTarget& operator=(const TScopedQuickConnectTarget&) = delete;

  private:
    const TQuickConnectTarget* previous_;
};
