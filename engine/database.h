#pragma once
// The database component: one database file, found by data sets through its DatabaseName in
// its session. Connecting opens the file and makes the table list and one table storage object
// per table; disconnecting frees all of it.
//
// Ownership: the database owns its open file object and its table storage objects. It does
// not own the data sets registered with it; it closes them when it disconnects. A database
// joins its session's list on construction and leaves it on destruction (disconnecting first).
// Errors: EDatabaseError; those raised for the component begin with its component name.
// A failed connect leaves the database disconnected with no file object.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/db_file_io.h"
#include "engine/table_defs.h"
#include "engine/table_io.h"

namespace vesk {

class TVeskSession;
class TTDBDataSet;

class TVeskDatabase {
  public:
    using TNotifyEvent = std::function<void(TVeskDatabase&)>;
    using TProgressEvent = std::function<void(TVeskDatabase&, int percent)>;

    // session: the session to join; nullptr joins the default session. componentName: the
    // name errors are prefixed with (may be empty).
    explicit TVeskDatabase(TVeskSession* session = nullptr, std::string componentName = {});
    virtual ~TVeskDatabase();
    TVeskDatabase(const TVeskDatabase&) = delete;
    TVeskDatabase& operator=(const TVeskDatabase&) = delete;

    const std::string& Name() const { return name_; }

    // Properties that need a disconnected database: each raises "Cannot perform this operation
    // on an open database" (prefixed) while connected.
    const std::string& DatabaseName() const { return databaseName_; }
    // Also refuses a name another database of the session carries (case ignored):
    // "Duplicate database name '<name>'", unless that one is temporary and unused (then it is
    // freed).
    void SetDatabaseName(const std::string& name);
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& fileName);
    TVeskDBMediumType MediumType() const { return mediumType_; }
    void SetMediumType(TVeskDBMediumType medium);
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool exclusive);
    const std::string& SessionName() const { return sessionName_; }
    // Stores the name; the database moves into that session at its next connect.
    void SetSessionName(const std::string& name);

    bool KeepConnection() const { return keepConnection_; }
    // Switching it off on an unused database disconnects it.
    void SetKeepConnection(bool keep);

    // Connected: the file is open.
    bool Connected() const;
    void SetConnected(bool value);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
    // Progress of the file's codecs, with this database as the sender.
    TProgressEvent OnCompressProgress, OnUncompressProgress, OnEncryptProgress, OnDecryptProgress;
    TProgressEvent OnOperationProgress;  // nothing fires it

    // Gives a password; when connected, access is granted when it is the file's password.
    void SetPassword(const std::string& password);
    // Grants access to an enciphered file: the session's passwords, then the login prompt.
    // Throws EAbort when the prompt is cancelled, EDatabaseError("Access denied") when no
    // password fits.
    void CheckCanAccess();
    bool CanAccess() const { return canAccess_; }

    // Flags of the open file's options block; disconnected: "Cannot perform this operation on
    // a closed database" (prefixed).
    bool Encrypted() const;
    bool Compressed() const;
    bool CRC32() const;

    // The table names of the open file in table-number order (empty when disconnected).
    const TVeskTableDefs& TableDefs() const { return tableDefs_; }
    std::vector<std::string> GetTableNames() const;
    // The storage object of that table (case ignored), nullptr when absent or disconnected.
    TVeskTableIO* FindTableIO(const std::string& tableName) const;
    // The open file object; nullptr while disconnected.
    TVeskDBFileIO* FileIO() const { return fileIO_.get(); }

    // Data sets using this database (not owned).
    void RegisterClient(TTDBDataSet* dataSet);
    void UnRegisterClient(TTDBDataSet* dataSet);
    int GetDataSetCount() const { return static_cast<int>(dataSets_.size()); }
    TTDBDataSet* GetDataSet(int index) const { return dataSets_.at(static_cast<size_t>(index)); }
    // Closes the registered data sets, last first, until none is left.
    void CloseDataSets();

    // The session the database is in (never null while the engine runs).
    TVeskSession* Session() const { return session_; }
    // Data-set opens through the session not yet closed.
    int RefCount() const { return refCount_; }
    // Made by the session for a data set whose database name matched no database.
    bool Temporary() const { return temporary_; }

    // The session's lock settings (the session defaults while in no session).
    std::int32_t LockRetryCount() const;
    std::int32_t LockWaitTime() const;

    // The session named SessionName must exist (required: else "Invalid session name <name>");
    // a database in another session moves there and re-validates its name (a duplicate clears
    // DatabaseName and re-raises); the session is then started.
    void CheckSessionName(bool required);

  private:
    friend class TVeskSession;

    void CheckInactive() const;
    void CheckActive() const;
    void CheckDatabaseName() const;
    void ValidateName(const std::string& name);
    void DoConnect();
    void DoDisconnect();
    void NotifyDataSets(bool connected);
    // The session removes itself: disconnect and forget it.
    void SessionRemoved();
    std::uint8_t OptionByte(int offset) const;

    // What the open file asks of its owner, answered by this database.
    class FileOwner : public TDBFileIOOwner {
      public:
        explicit FileOwner(TVeskDatabase& database) : database_(database) {}
        std::int32_t LockRetryCount() const override { return database_.LockRetryCount(); }
        std::int32_t LockWaitTime() const override { return database_.LockWaitTime(); }
        void OnCompressProgress(int percent) override {
            Fire(database_.OnCompressProgress, percent);
        }
        void OnUncompressProgress(int percent) override {
            Fire(database_.OnUncompressProgress, percent);
        }
        void OnEncryptProgress(int percent) override { Fire(database_.OnEncryptProgress, percent); }
        void OnDecryptProgress(int percent) override { Fire(database_.OnDecryptProgress, percent); }

      private:
        void Fire(const TProgressEvent& event, int percent) {
            if (event)
                event(database_, percent);
        }
        TVeskDatabase& database_;
    };

    std::string name_;
    std::string databaseName_;
    std::string fileName_;
    std::string sessionName_;
    TVeskDBMediumType mediumType_ = mtDisk;
    bool exclusive_ = false;
    bool keepConnection_ = false;
    TVeskSession* session_ = nullptr;
    // What the table storage objects ask of their database.
    class TableOwner : public TTableIOOwner {
      public:
        explicit TableOwner(TVeskDatabase& database) : database_(database) {}
        TVeskDBFileIO& FileIO() override;
        const std::vector<std::string>& TableNames() override { return database_.tableNames_; }

      private:
        TVeskDatabase& database_;
    };

    FileOwner fileOwner_{*this};
    TableOwner tableOwner_{*this};
    std::vector<std::string> tableNames_;
    std::unique_ptr<TVeskDBFileIO> fileIO_;
    std::vector<std::unique_ptr<TVeskTableIO>> tableIOs_;
    TVeskTableDefs tableDefs_;
    std::vector<TTDBDataSet*> dataSets_;
    int refCount_ = 0;
    bool temporary_ = false;
    bool canAccess_ = false;
    bool passwordSet_ = false;
    std::string passwordText_;
    bool disconnecting_ = false;
    bool destroying_ = false;
};

}  // namespace vesk
