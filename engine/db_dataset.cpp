#include "engine/db_dataset.h"

#include "engine/component_error.h"
#include "engine/session.h"
#include "engine/session_list.h"

namespace vesk {

TTDBDataSet::TTDBDataSet(std::string componentName, TVeskDatabase* ownerDatabase)
    : name_(std::move(componentName)) {
    if (ownerDatabase != nullptr) {
        databaseName_ = ownerDatabase->DatabaseName();
        sessionName_ = ownerDatabase->SessionName();
    }
}

TTDBDataSet::~TTDBDataSet() {
    // Derived parts are gone already; only the database link is undone here.
    try {
        if (active_) {
            active_ = false;
            CloseCursor();
        }
    } catch (...) {
        // Closing gives uses back and frees; a destructor must not throw.
    }
}

void TTDBDataSet::CheckInactive() const {
    if (active_)
        RaiseComponentError(name_, "Cannot perform this operation on an open dataset");
}

void TTDBDataSet::SetDatabaseName(const std::string& name) {
    if (name == databaseName_)
        return;
    CheckInactive();
    if (database_ != nullptr)
        RaiseComponentError(name_, "Cannot perform this operation on an open database");
    databaseName_ = name;
}

void TTDBDataSet::SetSessionName(const std::string& name) {
    if (name == sessionName_)
        return;
    CheckInactive();
    sessionName_ = name;
}

TVeskSession& TTDBDataSet::GetDBSession() const {
    if (database_ != nullptr && database_->Session() != nullptr)
        return *database_->Session();
    if (TVeskSession* named = SessionList()->FindSession(sessionName_))
        return *named;
    return DefaultSession();
}

void TTDBDataSet::Open() {
    if (active_)
        return;
    try {
        OpenCursor();
    } catch (...) {
        CloseCursor();
        throw;
    }
    active_ = true;
}

void TTDBDataSet::Close() {
    if (!active_)
        return;
    active_ = false;
    CloseCursor();
}

void TTDBDataSet::CheckDBSessionName() {
    if (sessionName_.empty() || databaseName_.empty())
        return;
    TVeskSession* named = SessionList()->FindSession(sessionName_);
    if (named == nullptr || named->FindDatabase(databaseName_) != nullptr)
        return;
    TVeskDatabase* inDefault = DefaultSession().FindDatabase(databaseName_);
    if (inDefault != nullptr)
        inDefault->CheckSessionName(true);
}

void TTDBDataSet::OpenCursor() {
    CheckDBSessionName();
    TVeskSession& session = SessionList()->GetSession(sessionName_);
    database_ = &session.OpenDatabase(databaseName_, this);
    database_->RegisterClient(this);
    registered_ = true;
    database_->CheckCanAccess();
    InternalOpenCursor();
}

void TTDBDataSet::CloseCursor() {
    InternalCloseCursor();
    if (database_ == nullptr)
        return;
    TVeskDatabase* database = database_;
    database_ = nullptr;
    if (registered_) {
        registered_ = false;
        database->UnRegisterClient(this);
    }
    if (TVeskSession* session = database->Session())
        session->CloseDatabase(*database);
}

}  // namespace vesk
