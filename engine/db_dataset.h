#pragma once
// The database link of the engine's data sets: a data set names a database (and optionally a
// session); opening it asks the session for that database, which is connected (or made as a
// temporary database named by the file path) and counts one use; closing gives the use back.
//
// Derived data sets put their own cursor work into InternalOpenCursor / InternalCloseCursor,
// and close in their own destructor (the base destructor only undoes the database link).
// An open that fails at any step leaves the data set closed, unregistered and its use of the
// database given back (a temporary database it caused is freed). Errors raised for the data
// set begin with its component name.
#include <string>

#include "engine/database.h"

namespace vesk {

class TVeskSession;

class TTDBDataSet {
  public:
    // ownerDatabase: a data set made with a database as owner takes its DatabaseName and
    // SessionName.
    explicit TTDBDataSet(std::string componentName = {}, TVeskDatabase* ownerDatabase = nullptr);
    virtual ~TTDBDataSet();
    TTDBDataSet(const TTDBDataSet&) = delete;
    TTDBDataSet& operator=(const TTDBDataSet&) = delete;

    const std::string& Name() const { return name_; }

    const std::string& DatabaseName() const { return databaseName_; }
    // Refused while open ("Cannot perform this operation on an open dataset") and while a
    // database is attached ("Cannot perform this operation on an open database"), prefixed.
    virtual void SetDatabaseName(const std::string& name);
    const std::string& SessionName() const { return sessionName_; }
    // Refused while open ("Cannot perform this operation on an open dataset", prefixed).
    void SetSessionName(const std::string& name);

    // The medium of the database a temporary database is made with.
    virtual TVeskDBMediumType MediumType() const { return mtDisk; }

    // The attached database while open, nullptr otherwise.
    TVeskDatabase* Database() const { return database_; }
    // The attached database's session, else the session named SessionName, else the default.
    TVeskSession& GetDBSession() const;

    bool Active() const { return active_; }
    void Open();
    void Close();
    // The database asks the data set to close (it disconnects).
    void CloseDatabaseDataSet() { Close(); }
    // The database's connection changed (true: connected, false: about to disconnect).
    virtual void DatabaseConnectChanged(bool /*connected*/) {}

  protected:
    // "Cannot perform this operation on an open dataset" (prefixed) while open.
    void CheckInactive() const;
    // The data set's own cursor work; InternalOpenCursor runs once the database is attached
    // and access granted, InternalCloseCursor before the database is given back. Both may be
    // called when the open failed part-way (InternalCloseCursor must cope).
    virtual void InternalOpenCursor() {}
    virtual void InternalCloseCursor() {}

  private:
    void OpenCursor();
    void CloseCursor();
    void CheckDBSessionName();

    std::string name_;
    std::string databaseName_;
    std::string sessionName_;
    TVeskDatabase* database_ = nullptr;
    bool active_ = false;
    bool registered_ = false;
};

}  // namespace vesk
