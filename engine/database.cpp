#include "engine/database.h"

#include <algorithm>

#include "engine/component_error.h"
#include "engine/db_dataset.h"
#include "engine/db_error.h"
#include "engine/db_file_io.h"
#include "engine/file_format.h"
#include "engine/login_prompt.h"
#include "engine/session.h"
#include "engine/session_list.h"
#include "engine/silent_abort.h"
#include "engine/table_io.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return os::CompareAnsiText(a, b, true) == 0;
}
}  // namespace

TVeskDatabase::TVeskDatabase(TVeskSession* session, std::string componentName)
    : name_(std::move(componentName)) {
    session_ = session != nullptr ? session : &DefaultSession();
    sessionName_ = session_->SessionName();
    session_->AddDatabase(this);
}

TVeskDatabase::~TVeskDatabase() {
    destroying_ = true;
    if (session_ != nullptr)
        session_->RemoveDatabase(this);
    try {
        SetConnected(false);
    } catch (...) {
        // Disconnecting only closes; a destructor must not throw.
    }
    // Data sets that are still registered without being open forget us.
    dataSets_.clear();
}

void TVeskDatabase::CheckInactive() const {
    if (fileIO_)
        RaiseComponentError(name_, "Cannot perform this operation on an open database");
}

void TVeskDatabase::CheckActive() const {
    if (!Connected())
        RaiseComponentError(name_, "Cannot perform this operation on a closed database");
}

void TVeskDatabase::SetDatabaseName(const std::string& name) {
    if (name == databaseName_)
        return;
    CheckInactive();
    ValidateName(name);
    databaseName_ = name;
}

void TVeskDatabase::ValidateName(const std::string& name) {
    if (name.empty() || session_ == nullptr)
        return;
    TVeskDatabase* other = session_->FindDatabase(name);
    if (other == nullptr || other == this)
        return;
    if (other->Temporary() && other->RefCount() == 0) {
        session_->FreeTemporary(other);
        return;
    }
    throw EDatabaseError(FormatMessage("Duplicate database name '%s'", name));
}

void TVeskDatabase::SetFileName(const std::string& fileName) {
    if (fileName == fileName_)
        return;
    CheckInactive();
    fileName_ = fileName;
}

void TVeskDatabase::SetMediumType(TVeskDBMediumType medium) {
    if (medium == mediumType_)
        return;
    CheckInactive();
    mediumType_ = medium;
}

void TVeskDatabase::SetExclusive(bool exclusive) {
    if (exclusive == exclusive_)
        return;
    CheckInactive();
    exclusive_ = exclusive;
}

void TVeskDatabase::SetSessionName(const std::string& name) {
    if (name == sessionName_)
        return;
    CheckInactive();
    sessionName_ = name;
}

void TVeskDatabase::SetKeepConnection(bool keep) {
    if (keep == keepConnection_)
        return;
    keepConnection_ = keep;
    if (!keep && refCount_ == 0)
        Close();
}

bool TVeskDatabase::Connected() const {
    return fileIO_ && fileIO_->IsOpen();
}

void TVeskDatabase::SetConnected(bool value) {
    if (value == Connected())
        return;
    if (value) {
        if (BeforeConnect)
            BeforeConnect(*this);
        DoConnect();
        NotifyDataSets(true);
        if (AfterConnect)
            AfterConnect(*this);
    } else {
        if (BeforeDisconnect)
            BeforeDisconnect(*this);
        NotifyDataSets(false);
        DoDisconnect();
        if (AfterDisconnect)
            AfterDisconnect(*this);
    }
}

void TVeskDatabase::NotifyDataSets(bool connected) {
    // Copy first: a data set may unregister itself in answer.
    const std::vector<TTDBDataSet*> dataSets = dataSets_;
    for (TTDBDataSet* dataSet : dataSets)
        dataSet->DatabaseConnectChanged(connected);
}

void TVeskDatabase::CheckDatabaseName() const {
    if (databaseName_.empty() && !temporary_)
        RaiseComponentError(name_, "Database name missing");
}

void TVeskDatabase::CheckSessionName(bool required) {
    TVeskSession* wanted = nullptr;
    if (required)
        wanted = &SessionList()->GetSession(sessionName_);
    else
        wanted = SessionList()->FindSession(sessionName_);
    if (wanted == nullptr)
        return;
    if (wanted != session_) {
        if (session_ != nullptr)
            session_->RemoveDatabase(this);
        session_ = wanted;
        session_->AddDatabase(this);
        try {
            ValidateName(databaseName_);
        } catch (...) {
            databaseName_.clear();
            throw;
        }
    }
    if (sessionName_.empty())
        sessionName_ = session_->SessionName();
    if (!session_->Active())
        session_->SetActive(true);
}

void TVeskDatabase::DoConnect() {
    CheckDatabaseName();
    CheckSessionName(true);
    const std::string& path = fileName_.empty() ? databaseName_ : fileName_;
    try {
        if (!fileIO_)
            fileIO_ = std::make_unique<TVeskDBFileIO>(&fileOwner_, mediumType_, exclusive_);
        fileIO_->Open(path, mediumType_, exclusive_);
        canAccess_ = !Encrypted();
        tableDefs_.Clear();
        tableIOs_.clear();
        tableNames_ = GetTableNames();
        for (size_t i = 0; i < tableNames_.size(); ++i) {
            tableDefs_.Add(tableNames_[i]).TableNo = static_cast<std::int32_t>(i);
            tableIOs_.push_back(std::make_unique<TVeskTableIO>(tableOwner_, tableNames_[i]));
        }
    } catch (...) {
        tableIOs_.clear();
        tableDefs_.Clear();
        tableNames_.clear();
        canAccess_ = false;
        fileIO_.reset();
        throw;
    }
}

void TVeskDatabase::DoDisconnect() {
    if (!fileIO_)
        return;
    disconnecting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{disconnecting_};
    fileIO_->Close();
    fileIO_.reset();
    if (session_ != nullptr)
        session_->Notify(TDBNotifyEvent::dbClose, *this);
    CloseDataSets();
    refCount_ = 0;
    canAccess_ = false;
    passwordText_.clear();
    passwordSet_ = false;
    tableIOs_.clear();
    tableDefs_.Clear();
    tableNames_.clear();
}

TVeskDBFileIO& TVeskDatabase::TableOwner::FileIO() {
    database_.CheckActive();
    return *database_.fileIO_;
}

void TVeskDatabase::SessionRemoved() {
    try {
        Close();
    } catch (...) {
        // The session is going away; closing only frees.
    }
    session_ = nullptr;
    sessionName_.clear();
}

void TVeskDatabase::SetPassword(const std::string& password) {
    passwordText_ = password;
    passwordSet_ = true;
    if (Connected())
        canAccess_ = fileIO_->CheckPassword(password);
}

void TVeskDatabase::CheckCanAccess() {
    if (canAccess_)
        return;
    // A password given before keeps its place: the session's passwords are tried first, but
    // a wrong one of them must not replace it.
    const bool givenSet = passwordSet_;
    const std::string given = passwordText_;
    if (session_ != nullptr) {
        for (const std::string& password : session_->Passwords) {
            SetPassword(password);
            if (canAccess_)
                return;
        }
    }
    if (!passwordSet_) {
        std::string entered;
        const std::string& shownName = fileName_.empty() ? databaseName_ : fileName_;
        if (!RunLoginPrompt(shownName, entered))
            throw EAbort();
        SetPassword(entered);
        if (!canAccess_)
            throw EDatabaseError("Access denied");
        return;
    }
    SetPassword(givenSet ? given : passwordText_);
    if (!canAccess_)
        throw EDatabaseError("Access denied");
}

std::int32_t TVeskDatabase::LockRetryCount() const {
    return session_ != nullptr ? session_->LockRetryCount() : 20;
}

std::int32_t TVeskDatabase::LockWaitTime() const {
    return session_ != nullptr ? session_->LockWaitTime() : 100;
}

std::uint8_t TVeskDatabase::OptionByte(int offset) const {
    CheckActive();
    return fileIO_->OptionsCopy()[static_cast<size_t>(offset)];
}

bool TVeskDatabase::Encrypted() const {
    return OptionByte(format::kOptEncryptOn) != 0;
}
bool TVeskDatabase::Compressed() const {
    return OptionByte(format::kOptCompressOn) != 0;
}
bool TVeskDatabase::CRC32() const {
    return OptionByte(format::kOptBlobCheck) != 0;
}

std::vector<std::string> TVeskDatabase::GetTableNames() const {
    std::vector<std::string> names;
    if (Connected())
        fileIO_->GetTableNames(names);
    return names;
}

TVeskTableIO* TVeskDatabase::FindTableIO(const std::string& tableName) const {
    for (const auto& tableIO : tableIOs_)
        if (SameName(tableIO->TableName(), tableName))
            return tableIO.get();
    return nullptr;
}

void TVeskDatabase::RegisterClient(TTDBDataSet* dataSet) {
    if (dataSet == nullptr)
        return;
    if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end())
        dataSets_.push_back(dataSet);
}

void TVeskDatabase::UnRegisterClient(TTDBDataSet* dataSet) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}

void TVeskDatabase::CloseDataSets() {
    while (!dataSets_.empty()) {
        TTDBDataSet* dataSet = dataSets_.back();
        dataSet->CloseDatabaseDataSet();
        // A data set that was registered but not open does not unregister itself.
        UnRegisterClient(dataSet);
    }
}

}  // namespace vesk
