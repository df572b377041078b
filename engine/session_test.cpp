#include "engine/session.h"

#include <gtest/gtest.h>

#include "engine/database_test_support.h"

namespace vesk {
namespace {

using write_testing::EngineTest;
using write_testing::ErrorOf;
using write_testing::LinkedTable;

using SessionTest = EngineTest;

TEST_F(SessionTest, DefaultSessionAndLookups) {
    TVeskSessionList& list = *SessionList();
    EXPECT_EQ(&list.GetSession(""), &DefaultSession());
    EXPECT_EQ(&list.GetSession("default"), &DefaultSession());
    EXPECT_EQ(DefaultSession().SessionName(), "Default");
    EXPECT_EQ(list.FindSession("nosuch"), nullptr);
    EXPECT_EQ(ErrorOf([&] { list.GetSession("nosuch"); }), "Invalid session name nosuch");
}

TEST_F(SessionTest, LockSettingsClampNegativeValues) {
    struct Case {
        std::int32_t given, stored;
    };
    const Case cases[] = {{-5, 0}, {0, 0}, {3, 3}};
    TVeskSession session;
    for (const Case& c : cases) {
        session.SetLockRetryCount(c.given);
        session.SetLockWaitTime(c.given);
        EXPECT_EQ(session.LockRetryCount(), c.stored);
        EXPECT_EQ(session.LockWaitTime(), c.stored);
    }
    TVeskSession fresh;
    EXPECT_EQ(fresh.LockRetryCount(), 20);
    EXPECT_EQ(fresh.LockWaitTime(), 100);
    TVeskDatabase database(&session);
    session.SetLockRetryCount(7);
    EXPECT_EQ(database.LockRetryCount(), 7);
}

TEST_F(SessionTest, PrefixedSessionMessages) {
    TVeskSession session("Session1");
    EXPECT_EQ(ErrorOf([&] { session.SetSessionName("default"); }),
              "Session1: Duplicate session name 'default'");
    EXPECT_EQ(ErrorOf([&] { session.SetActive(true); }), "Session1: Session name missing");
    EXPECT_FALSE(session.Active());
    session.SetSessionName("mine");
    session.SetActive(true);
    EXPECT_TRUE(DefaultSession().Active()) << "starting a session starts the default one";
    EXPECT_EQ(ErrorOf([&] { session.SetSessionName("other"); }),
              "Session1: Cannot perform this operation on an active session");
    session.SetActive(false);
    session.SetSessionName("other");
    EXPECT_EQ(&SessionList()->GetSession("OTHER"), &session);
}

TEST_F(SessionTest, DataSetWithUnknownSessionFailsToOpen) {
    LinkedTable table("T");
    table.SetDatabaseName(path_);
    table.SetSessionName("nosuch");
    EXPECT_EQ(ErrorOf([&] { table.Open(); }), "Invalid session name nosuch");
    EXPECT_FALSE(table.Active());
}

TEST_F(SessionTest, DataSetsOfANamedSession) {
    TVeskSession session;
    session.SetSessionName("second");
    TVeskDatabase database(&session);
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    LinkedTable table("T");
    table.SetDatabaseName("db");
    EXPECT_NE(ErrorOf([&] { table.Open(); }), "") << "the default session has no database db";
    table.SetSessionName("Second");
    table.Open();
    EXPECT_EQ(table.Database(), &database);
    EXPECT_EQ(&table.GetDBSession(), &session);
    EXPECT_TRUE(session.Active());
}

TEST_F(SessionTest, DatabaseMovesIntoTheSessionItNames) {
    TVeskSession session;
    session.SetSessionName("second");
    TVeskDatabase database;  // joins the default session
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    database.SetSessionName("second");
    LinkedTable table("T");
    table.SetDatabaseName("db");
    table.SetSessionName("second");
    table.Open();
    EXPECT_EQ(database.Session(), &session);
    EXPECT_EQ(session.FindDatabase("db"), &database);
    EXPECT_EQ(DefaultSession().FindDatabase("db"), nullptr);
}

TEST_F(SessionTest, StoppingFreesTemporariesAndDisconnectsTheRest) {
    TVeskSession session;
    session.SetSessionName("s");
    session.KeepConnections = true;
    TVeskDatabase database(&session);
    database.SetDatabaseName("db");
    database.SetFileName(path_);
    database.SetKeepConnection(true);
    LinkedTable named("A"), temporary("B");
    named.SetSessionName("s");
    named.SetDatabaseName("db");
    temporary.SetSessionName("s");
    temporary.SetDatabaseName(path_);
    named.Open();
    temporary.Open();
    named.Close();
    temporary.Close();
    EXPECT_EQ(session.DatabaseCount(), 2);
    session.SetActive(false);
    EXPECT_EQ(session.DatabaseCount(), 1);
    EXPECT_FALSE(database.Connected());
}

TEST_F(SessionTest, RemovedSessionReleasesItsDatabases) {
    TVeskDatabase* database = nullptr;
    auto session = std::make_unique<TVeskSession>();
    session->SetSessionName("s");
    TVeskDatabase owned(session.get());
    database = &owned;
    owned.SetDatabaseName("db");
    owned.SetFileName(path_);
    owned.Open();
    session.reset();
    EXPECT_FALSE(database->Connected());
    EXPECT_EQ(database->SessionName(), "");
    EXPECT_EQ(database->Session(), nullptr);
    database->Open();  // falls back to the default session
    EXPECT_EQ(database->Session(), &DefaultSession());
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST_F(SessionTest, DatabaseNotifications) {
    TVeskSession session;
    session.SetSessionName("s");
    std::vector<std::pair<TDBNotifyEvent, TVeskDatabase*>> events;
    session.DBNotifyEvent = [&](TDBNotifyEvent event, TVeskDatabase& database) {
        events.emplace_back(event, &database);
    };
    TVeskDatabase* seen = nullptr;
    {
        TVeskDatabase database(&session);
        seen = &database;
        database.SetDatabaseName("db");
        database.SetFileName(path_);
        database.Open();
        database.Close();
        database.Close();  // already closed: nothing
    }
    using E = TDBNotifyEvent;
    EXPECT_EQ(events, (std::vector<std::pair<E, TVeskDatabase*>>{
                          {E::dbAdd, seen}, {E::dbClose, seen}, {E::dbRemove, seen}}));
    EXPECT_EQ(session.DatabaseCount(), 0);
}

}  // namespace
}  // namespace vesk
