#include "engine/session_list.h"

#include <algorithm>

#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/db_error.h"
#include "engine/session.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {
std::unique_ptr<TVeskSessionList>& GlobalList() {
    static std::unique_ptr<TVeskSessionList> list;
    return list;
}

bool SameName(const std::string& a, const std::string& b) {
    return os::CompareAnsiText(a, b, true) == 0;
}
}  // namespace

TVeskSessionList::~TVeskSessionList() {
    CloseAll();
}

TVeskSession& TVeskSessionList::GetSession(const std::string& name) {
    if (name.empty())
        return DefaultSession();
    TVeskSession* session = FindSession(name);
    if (session == nullptr)
        throw EDatabaseError(FormatMessage("Invalid session name %s", name));
    return *session;
}

TVeskSession* TVeskSessionList::FindSession(const std::string& name) {
    if (name.empty())
        return defaultSession_.get();
    std::lock_guard<std::mutex> guard(listMutex_);
    for (TVeskSession* session : sessions_)
        if (SameName(session->SessionName(), name))
            return session;
    return nullptr;
}

void TVeskSessionList::AddSession(TVeskSession* session) {
    std::lock_guard<std::mutex> guard(listMutex_);
    sessions_.push_back(session);
}

void TVeskSessionList::RemoveSession(TVeskSession* session) {
    std::lock_guard<std::mutex> guard(listMutex_);
    sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), session), sessions_.end());
}

void TVeskSessionList::CloseAll() {
    // Sessions of other owners are only stopped (their owners free them); the default
    // session belongs to the engine and goes last, as it was made first.
    for (int i = Count() - 1; i >= 0; --i) {
        TVeskSession* session = Session(i);
        if (session != nullptr && session != defaultSession_.get())
            session->SetActive(false);
    }
    defaultSession_.reset();
}

int TVeskSessionList::Count() {
    std::lock_guard<std::mutex> guard(listMutex_);
    return static_cast<int>(sessions_.size());
}

TVeskSession* TVeskSessionList::Session(int index) {
    std::lock_guard<std::mutex> guard(listMutex_);
    if (index < 0 || index >= static_cast<int>(sessions_.size()))
        return nullptr;
    return sessions_[static_cast<size_t>(index)];
}

int TVeskSessionList::TakeAutoSessionNumber() {
    std::lock_guard<std::recursive_mutex> guard(SessionMutex());
    auto free = std::find(usedNumbers_.begin(), usedNumbers_.end(), false);
    const int number = static_cast<int>(free - usedNumbers_.begin());
    if (free == usedNumbers_.end())
        usedNumbers_.push_back(true);
    else
        *free = true;
    return number;
}

void TVeskSessionList::ReleaseAutoSessionNumber(int number) {
    std::lock_guard<std::recursive_mutex> guard(SessionMutex());
    if (number >= 0 && number < static_cast<int>(usedNumbers_.size()))
        usedNumbers_[static_cast<size_t>(number)] = false;
}

std::recursive_mutex& TVeskSessionList::SessionMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

TVeskSessionList* SessionList() {
    return GlobalList().get();
}

TVeskSession& DefaultSession() {
    TVeskSessionList* list = SessionList();
    if (list == nullptr || !list->defaultSession_)
        throw EDatabaseError("The database engine is not started");
    return *list->defaultSession_;
}

void VeskDB_Initialization() {
    if (GlobalList())
        return;
    GlobalList() = std::make_unique<TVeskSessionList>();
    auto session = std::make_unique<TVeskSession>();
    session->SetSessionName("Default");
    GlobalList()->defaultSession_ = std::move(session);
    RegisterStandardAlgorithms();
}

void VeskDB_Finalization() {
    if (!GlobalList())
        return;
    GlobalList()->CloseAll();
    GlobalList().reset();
    UnregisterAllAlgorithms();
}

}  // namespace vesk
