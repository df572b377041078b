#pragma once
// The global list of sessions and the engine's start and end.
//
// VeskDB_Initialization creates the list and the default session "Default"; it does nothing
// when the engine is already started. VeskDB_Finalization frees every session (last first),
// and with them every database they own, then the list; the engine may be started again.
// All calls come from the user-interface thread; the list itself is guarded by its own mutex.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vesk {

class TVeskSession;

class TVeskSessionList {
  public:
    TVeskSessionList() = default;
    ~TVeskSessionList();  // CloseAll
    TVeskSessionList(const TVeskSessionList&) = delete;
    TVeskSessionList& operator=(const TVeskSessionList&) = delete;

    // Empty name: the default session. Otherwise the session of that name (case ignored);
    // none: EDatabaseError("Invalid session name <name>").
    TVeskSession& GetSession(const std::string& name);
    // The same without the error: nullptr when there is none.
    TVeskSession* FindSession(const std::string& name);

    // Called by every session on construction and destruction (the list does not own them).
    void AddSession(TVeskSession* session);
    void RemoveSession(TVeskSession* session);
    // Frees every session made by the engine itself (the default session), last first, and
    // stops the others, so nothing the engine owns outlives the list.
    void CloseAll();

    int Count();
    TVeskSession* Session(int index);

    // Auto-session numbers in use: the lowest free one is taken and marked; Release frees it.
    int TakeAutoSessionNumber();
    void ReleaseAutoSessionNumber(int number);

    // The global session mutex: guards session start and stop, the outermost session lock and
    // the auto-session numbers. Re-entrant, since a session started inside the session lock
    // enters it again on the same thread.
    static std::recursive_mutex& SessionMutex();

  private:
    std::mutex listMutex_;
    std::vector<TVeskSession*> sessions_;
    std::vector<bool> usedNumbers_;
    std::unique_ptr<TVeskSession> defaultSession_;
    friend void VeskDB_Initialization();
    friend TVeskSession& DefaultSession();
};

// The list, or nullptr while the engine is not started.
TVeskSessionList* SessionList();
// The default session ("Default"); requires a started engine.
TVeskSession& DefaultSession();

void VeskDB_Initialization();
void VeskDB_Finalization();

}  // namespace vesk
