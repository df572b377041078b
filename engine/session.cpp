#include "engine/session.h"

#include <algorithm>

#include "engine/component_error.h"
#include "engine/database.h"
#include "engine/db_dataset.h"
#include "engine/db_error.h"
#include "engine/session_list.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return os::CompareAnsiText(a, b, true) == 0;
}
}  // namespace

TVeskSession::TVeskSession(std::string componentName) : name_(std::move(componentName)) {
    if (SessionList() == nullptr)
        throw EDatabaseError("The database engine is not started");
    SessionList()->AddSession(this);
}

TVeskSession::~TVeskSession() {
    destroying_ = true;
    try {
        SetActive(false);
    } catch (...) {
        // A destructor must not throw; stopping only frees and disconnects.
    }
    // Databases of other owners outlive us: they forget the session and fall back to the
    // default one at their next connect.
    while (!databases_.empty()) {
        TVeskDatabase* database = databases_.back();
        databases_.pop_back();
        database->SessionRemoved();
    }
    if (SessionList() != nullptr)
        SessionList()->RemoveSession(this);
}

void TVeskSession::SetSessionName(const std::string& name) {
    if (name == sessionName_)
        return;
    CheckInactive();
    if (!name.empty() && SessionList() != nullptr) {
        TVeskSession* other = SessionList()->FindSession(name);
        if (other != nullptr && other != this)
            RaiseComponentError(name_, FormatMessage("Duplicate session name '%s'", name));
    }
    sessionName_ = name;
}

void TVeskSession::SetActive(bool value) {
    std::lock_guard<std::recursive_mutex> guard(TVeskSessionList::SessionMutex());
    if (value == active_)
        return;
    if (value) {
        if (OnStartup)
            OnStartup(*this);
        if (sessionName_.empty())
            RaiseComponentError(name_, "Session name missing");
        TVeskSession& defaultSession = DefaultSession();
        if (&defaultSession != this)
            defaultSession.SetActive(true);
        active_ = true;
        return;
    }
    // Last joined first; a freed temporary leaves the list itself.
    for (int i = DatabaseCount() - 1; i >= 0; --i) {
        if (i >= DatabaseCount())
            continue;
        TVeskDatabase* database = databases_[static_cast<size_t>(i)];
        if (database->Temporary())
            FreeTemporary(database);
        else
            database->Close();
    }
    active_ = false;
}

TVeskDatabase& TVeskSession::OpenDatabase(const std::string& databaseName, TTDBDataSet* dataSet) {
    LockSession();
    struct Unlock {
        TVeskSession* session;
        ~Unlock() { session->UnlockSession(); }
    } unlock{this};

    TVeskDatabase* database = FindDatabase(databaseName);
    TVeskDatabase* made = nullptr;
    if (database == nullptr) {
        auto temporary = std::make_unique<TVeskDatabase>(this);
        made = temporary.get();
        temporary->temporary_ = true;
        if (dataSet != nullptr)
            temporary->mediumType_ = dataSet->MediumType();
        temporary->keepConnection_ = KeepConnections;
        temporaries_.push_back(std::move(temporary));
        try {
            made->SetDatabaseName(databaseName);
        } catch (...) {
            FreeTemporary(made);
            throw;
        }
        database = made;
    }
    try {
        database->Open();
    } catch (...) {
        if (made != nullptr)
            FreeTemporary(made);
        throw;
    }
    ++database->refCount_;
    return *database;
}

void TVeskSession::CloseDatabase(TVeskDatabase& database) {
    if (database.refCount_ > 0)
        --database.refCount_;
    if (database.refCount_ != 0 || database.KeepConnection())
        return;
    // A database in the middle of disconnecting or being destroyed is already on its way.
    if (database.disconnecting_ || database.destroying_)
        return;
    if (database.Temporary()) {
        if (!destroying_)
            FreeTemporary(&database);
    } else {
        database.Close();
    }
}

TVeskDatabase* TVeskSession::FindDatabase(const std::string& name) {
    for (TVeskDatabase* database : databases_) {
        const std::string& candidate = database->DatabaseName();
        if (candidate.empty() && !database->Temporary())
            continue;
        // A temporary database is named by its file's path, and file paths are
        // case-sensitive: only the same path is the same file.
        if (database->Temporary() ? candidate == name : SameName(candidate, name))
            return database;
    }
    return nullptr;
}

void TVeskSession::AddDatabase(TVeskDatabase* database) {
    databases_.push_back(database);
    Notify(TDBNotifyEvent::dbAdd, *database);
}

void TVeskSession::RemoveDatabase(TVeskDatabase* database) {
    auto at = std::find(databases_.begin(), databases_.end(), database);
    if (at == databases_.end())
        return;
    databases_.erase(at);
    Notify(TDBNotifyEvent::dbRemove, *database);
}

void TVeskSession::FreeTemporary(TVeskDatabase* database) {
    auto at = std::find_if(temporaries_.begin(), temporaries_.end(),
                           [database](const auto& owned) { return owned.get() == database; });
    if (at == temporaries_.end())
        return;
    // Out of the list before it is destroyed, so nothing it does while closing finds it.
    std::unique_ptr<TVeskDatabase> doomed = std::move(*at);
    temporaries_.erase(at);
    doomed.reset();
}

void TVeskSession::Notify(TDBNotifyEvent event, TVeskDatabase& database) {
    if (DBNotifyEvent)
        DBNotifyEvent(event, database);
}

void TVeskSession::LockSession() {
    if (lockCount_ == 0) {
        TVeskSessionList::SessionMutex().lock();
        try {
            if (!active_)
                SetActive(true);
        } catch (...) {
            TVeskSessionList::SessionMutex().unlock();
            throw;
        }
    }
    ++lockCount_;
}

void TVeskSession::UnlockSession() {
    if (lockCount_ == 0)
        return;
    if (--lockCount_ == 0)
        TVeskSessionList::SessionMutex().unlock();
}

void TVeskSession::CheckInactive() const {
    if (active_)
        RaiseComponentError(name_, "Cannot perform this operation on an active session");
}

}  // namespace vesk
