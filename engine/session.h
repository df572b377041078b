#pragma once
// A session: a named group of databases with shared settings (file-lock retries and wait,
// whether temporary databases stay connected, passwords to try).
//
// Ownership: a session owns the temporary databases it makes for data sets whose database name
// matched no database; other databases are owned by whoever made them and only join the
// session's list. A session joins the global session list on construction and leaves it on
// destruction, stopping first (which frees its temporary databases and disconnects the rest).
// Errors raised for the session begin with its component name (see component_error.h).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vesk {

class TVeskDatabase;
class TTDBDataSet;

enum class TDBNotifyEvent { dbAdd, dbRemove, dbClose };

class TVeskSession {
  public:
    // componentName: the name errors are prefixed with (may be empty). Requires a started
    // engine (VeskDB_Initialization).
    explicit TVeskSession(std::string componentName = {});
    ~TVeskSession();
    TVeskSession(const TVeskSession&) = delete;
    TVeskSession& operator=(const TVeskSession&) = delete;

    const std::string& Name() const { return name_; }

    const std::string& SessionName() const { return sessionName_; }
    // Refused while active ("Cannot perform this operation on an active session") and when
    // another session carries the name ("Duplicate session name '<name>'"); both prefixed.
    void SetSessionName(const std::string& name);

    bool Active() const { return active_; }
    // Start: fires OnStartup, refuses an empty name ("Session name missing", prefixed), starts
    // the default session too. Stop: frees temporary databases and disconnects the others,
    // last first.
    void SetActive(bool value);

    bool KeepConnections = false;
    bool SQLHourGlass = true;
    std::function<void(TVeskSession&)> OnStartup;
    std::function<void(TDBNotifyEvent, TVeskDatabase&)> DBNotifyEvent;
    // Passwords tried in order for an enciphered file before the prompt is shown.
    std::vector<std::string> Passwords;

    std::int32_t LockRetryCount() const { return lockRetryCount_; }
    void SetLockRetryCount(std::int32_t value) { lockRetryCount_ = value < 0 ? 0 : value; }
    std::int32_t LockWaitTime() const { return lockWaitTime_; }
    void SetLockWaitTime(std::int32_t value) { lockWaitTime_ = value < 0 ? 0 : value; }

    // The connected database of that name with one more use counted. A name that no database
    // of the session carries makes a temporary database whose name is the file's path. On any
    // error nothing is left behind: no temporary database, no use counted.
    TVeskDatabase& OpenDatabase(const std::string& databaseName, TTDBDataSet* dataSet);
    // Gives one use back; at 0 uses, unless the database keeps its connection, a temporary
    // database is freed and any other disconnected.
    void CloseDatabase(TVeskDatabase& database);

    // The database whose DatabaseName equals name (case ignored; a temporary database, named
    // by its file's path, only by the exact path); a database with an empty name matches only
    // when it is temporary. nullptr when none.
    TVeskDatabase* FindDatabase(const std::string& name);

    int DatabaseCount() const { return static_cast<int>(databases_.size()); }
    TVeskDatabase* Database(int index) const { return databases_.at(static_cast<size_t>(index)); }

    // Join and leave the list of databases (each followed by a notification); called by the
    // database itself.
    void AddDatabase(TVeskDatabase* database);
    void RemoveDatabase(TVeskDatabase* database);
    // Frees a temporary database this session owns (nothing when it owns no such database).
    void FreeTemporary(TVeskDatabase* database);
    // Hands a database's notification to DBNotifyEvent when assigned.
    void Notify(TDBNotifyEvent event, TVeskDatabase& database);

    // Nesting lock: the outermost level holds the global session mutex; locking starts the
    // session when it is not active.
    void LockSession();
    void UnlockSession();

    // "Cannot perform this operation on an active session" (prefixed) while active.
    void CheckInactive() const;

  private:
    std::string name_;
    std::string sessionName_;
    bool active_ = false;
    bool destroying_ = false;
    std::int32_t lockRetryCount_ = 20;
    std::int32_t lockWaitTime_ = 100;
    int lockCount_ = 0;
    std::vector<TVeskDatabase*> databases_;
    std::vector<std::unique_ptr<TVeskDatabase>> temporaries_;
};

}  // namespace vesk
