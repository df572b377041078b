// The table engine against SQLite on one workload, in one run: 100,000 appends of rows shaped
// like the transfer-history details (engine key, a dozen text and integer columns), 10,000
// Locates of keys through the primary index, 1,000 Locates of texts by scanning, a filter of
// every row ("[type] = 'Download' and [isfolder] = False" against SELECT ... WHERE), and
// reopening the table. The engine's table is built twice: with the path columns of the shipped
// schema (4096 characters) and with the older 1024. SQLite runs the same operations with
// synchronous=OFF (the engine does not sync either), once with one transaction per row (the
// engine has no transactions) and once with every row in one transaction. Each figure is
// printed with the ratio ours/SQLite.
//
// Usage: engine_vs_sqlite_bench [rows] [key-locates] [scan-locates] [folder]
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/sqlite_check.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/database.h"
#include "engine/database_schema.h"
#include "engine/dataset/vesk_table.h"
#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/session_list.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Workload {
    int rows = 100000;
    int keyLocates = 10000;
    int scanLocates = 1000;
    std::vector<int> keys;      // 1-based keys to find
    std::vector<int> scanRows;  // rows whose file name is looked for
};

// The values of row i (0-based), the same for both engines.
struct Row {
    int id;
    std::string type, lofile, ftpfile, date, date2, ftppath, lopath, usetime, speed;
    bool isfolder;
};

Row MakeRow(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "file%06d.bin", i);
    char folder[32];
    std::snprintf(folder, sizeof folder, "/pub/dir%03d", i % 1000);
    return {i % 500,
            "Download",
            name,
            name,
            "2026-12-10 10:00:00",
            "2026-12-10 10:00:01",
            folder,
            "/home/user/dl/",
            "00:00:01",
            "123.45",
            i % 10 == 0};
}

const std::vector<std::string> kTextColumns = {"type",    "lofile", "ftpfile", "date", "date2",
                                               "ftppath", "lopath", "usetime", "speed"};

// ---- the engine -------------------------------------------------------------------------

vesk::DatabaseSchema EngineSchema(std::int32_t pathWidth) {
    using namespace vesk;
    SchemaTable table{"hdital",
                      {{"key", ftAutoInc, 0, 0},
                       {"id", ftInteger, 0, 0},
                       {"type", ftString, 16, 0},
                       {"lofile", ftString, 255, 0},
                       {"ftpfile", ftString, 255, 0},
                       {"date", ftString, 32, 0},
                       {"date2", ftString, 32, 0},
                       {"ftppath", ftString, pathWidth, 0},
                       {"lopath", ftString, pathWidth, 0},
                       {"usetime", ftString, 32, 0},
                       {"speed", ftString, 32, 0},
                       {"isfolder", ftBoolean, 0, 0}},
                      {{"pk", format::kIdxPrimary | format::kIdxUnique, {0}}}};
    DatabaseSchema schema;
    schema.tables = {table};
    return schema;
}

// The rows both filters pass: every row is a download, one in ten a folder.
int PassingRows(int rows) {
    return rows - (rows + 9) / 10;
}

// Filter passes after the first, each timed; their mean is printed.
constexpr int kFilterRepeats = 10;

struct Times {
    double append = 0, keyLocate = 0, scanLocate = 0, filterFirst = 0, filterAgain = 0, reopen = 0;
};

Times RunEngine(const Workload& w, const std::string& path, std::int32_t pathWidth) {
    vesk::CreateDatabaseFile(path, EngineSchema(pathWidth));
    vesk::VeskDB_Initialization();
    Times times;
    {
        vesk::TVeskDatabase database(nullptr, "VeskDatabase1");
        database.SetDatabaseName("bench");
        database.SetFileName(path);
        database.Open();
        vesk::TVeskTable table("Thd");
        table.SetDatabaseName("bench");
        table.SetTableName("hdital");
        table.Open();
        std::vector<vesk::TField*> text;
        for (const std::string& name : kTextColumns)
            text.push_back(&table.FieldByName(name));
        vesk::TField& id = table.FieldByName("id");
        vesk::TField& isfolder = table.FieldByName("isfolder");

        auto start = Clock::now();
        for (int i = 0; i < w.rows; ++i) {
            const Row row = MakeRow(i);
            const std::string* values[] = {&row.type,   &row.lofile,  &row.ftpfile,
                                           &row.date,   &row.date2,   &row.ftppath,
                                           &row.lopath, &row.usetime, &row.speed};
            table.Append();
            id.SetAsInteger(row.id);
            for (size_t c = 0; c < text.size(); ++c)
                text[c]->SetAsString(*values[c]);
            isfolder.SetAsBoolean(row.isfolder);
            table.Post();
        }
        times.append = Seconds(start);

        std::size_t found = 0;
        start = Clock::now();
        for (int key : w.keys)
            if (table.Locate("key", key))
                found += table.FieldByName("lofile").AsString().size();
        times.keyLocate = Seconds(start);
        if (found == 0)
            throw std::runtime_error("engine: no key found");

        found = 0;
        start = Clock::now();
        for (int r : w.scanRows)
            if (table.Locate("lofile", MakeRow(r).lofile))
                found += static_cast<std::size_t>(table.FieldByName("key").AsInteger());
        times.scanLocate = Seconds(start);
        if (found == 0)
            throw std::runtime_error("engine: no text found");

        table.SetFilter("[type] = 'Download' and [isfolder] = False");
        for (int pass = 0; pass <= kFilterRepeats; ++pass) {
            start = Clock::now();
            table.SetFiltered(true);
            const double took = Seconds(start);
            (pass == 0 ? times.filterFirst : times.filterAgain) += took;
            if (table.RecordCount() != PassingRows(w.rows))
                throw std::runtime_error("engine: the filter passed " +
                                         std::to_string(table.RecordCount()) + " rows");
            table.SetFiltered(false);
        }
        times.filterAgain /= kFilterRepeats;

        table.Close();
        database.Close();
        start = Clock::now();
        database.Open();
        table.SetDatabaseName("bench");
        table.SetTableName("hdital");
        table.Open();
        if (table.RecordCount() != w.rows)
            throw std::runtime_error("engine: wrong row count after reopen");
        times.reopen = Seconds(start);
    }
    vesk::VeskDB_Finalization();
    return times;
}

// ---- SQLite -----------------------------------------------------------------------------

void Exec(sqlite3* db, const char* sql) {
    bench::CheckSqlite(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db, sql);
}

sqlite3* OpenSqlite(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("sqlite3_open failed");
    Exec(db, "PRAGMA synchronous=OFF");
    return db;
}

Times RunSqlite(const Workload& w, const std::string& path, bool oneTransaction) {
    Times times;
    sqlite3* db = OpenSqlite(path);
    Exec(db,
         "CREATE TABLE hdital (key INTEGER PRIMARY KEY AUTOINCREMENT, id INTEGER, type TEXT, "
         "lofile TEXT, ftpfile TEXT, date TEXT, date2 TEXT, ftppath TEXT, lopath TEXT, "
         "usetime TEXT, speed TEXT, isfolder INTEGER)");
    sqlite3_stmt* insert = nullptr;
    bench::CheckSqlite(
        sqlite3_prepare_v2(db,
                           "INSERT INTO hdital (id, type, lofile, ftpfile, date, date2, ftppath, "
                           "lopath, usetime, speed, isfolder) VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &insert, nullptr),
        db, "prepare insert");
    auto start = Clock::now();
    if (oneTransaction)
        Exec(db, "BEGIN");
    for (int i = 0; i < w.rows; ++i) {
        const Row row = MakeRow(i);
        const std::string* values[] = {&row.type,   &row.lofile,  &row.ftpfile,
                                       &row.date,   &row.date2,   &row.ftppath,
                                       &row.lopath, &row.usetime, &row.speed};
        sqlite3_bind_int(insert, 1, row.id);
        for (int c = 0; c < 9; ++c)
            sqlite3_bind_text(insert, c + 2, values[c]->c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 11, row.isfolder ? 1 : 0);
        bench::CheckSqlite(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
        (void)sqlite3_last_insert_rowid(db);  // the key, readable at once like ours
    }
    if (oneTransaction)
        Exec(db, "COMMIT");
    times.append = Seconds(start);
    sqlite3_finalize(insert);

    sqlite3_stmt* byKey = nullptr;
    bench::CheckSqlite(
        sqlite3_prepare_v2(db, "SELECT * FROM hdital WHERE key = ?", -1, &byKey, nullptr), db,
        "prepare key");
    std::size_t found = 0;
    start = Clock::now();
    for (int key : w.keys) {
        sqlite3_bind_int(byKey, 1, key);
        if (sqlite3_step(byKey) == SQLITE_ROW)
            found += static_cast<std::size_t>(sqlite3_column_bytes(byKey, 3));
        sqlite3_reset(byKey);
    }
    times.keyLocate = Seconds(start);
    sqlite3_finalize(byKey);
    if (found == 0)
        throw std::runtime_error("sqlite: no key found");

    sqlite3_stmt* byText = nullptr;
    bench::CheckSqlite(sqlite3_prepare_v2(db, "SELECT * FROM hdital WHERE lofile = ? LIMIT 1", -1,
                                          &byText, nullptr),
                       db, "prepare text");
    found = 0;
    start = Clock::now();
    for (int r : w.scanRows) {
        const std::string name = MakeRow(r).lofile;
        sqlite3_bind_text(byText, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(byText) == SQLITE_ROW)
            found += static_cast<std::size_t>(sqlite3_column_int(byText, 0));
        sqlite3_reset(byText);
    }
    times.scanLocate = Seconds(start);
    sqlite3_finalize(byText);
    if (found == 0)
        throw std::runtime_error("sqlite: no text found");

    sqlite3_stmt* filter = nullptr;
    bench::CheckSqlite(
        sqlite3_prepare_v2(db, "SELECT * FROM hdital WHERE type = 'Download' AND isfolder = 0", -1,
                           &filter, nullptr),
        db, "prepare filter");
    for (int pass = 0; pass <= kFilterRepeats; ++pass) {
        start = Clock::now();
        int passed = 0;
        while (sqlite3_step(filter) == SQLITE_ROW)
            ++passed;
        sqlite3_reset(filter);
        const double took = Seconds(start);
        (pass == 0 ? times.filterFirst : times.filterAgain) += took;
        if (passed != PassingRows(w.rows))
            throw std::runtime_error("sqlite: the filter passed " + std::to_string(passed) +
                                     " rows");
    }
    times.filterAgain /= kFilterRepeats;
    sqlite3_finalize(filter);
    sqlite3_close(db);

    start = Clock::now();
    db = OpenSqlite(path);
    sqlite3_stmt* count = nullptr;
    bench::CheckSqlite(sqlite3_prepare_v2(db, "SELECT count(*) FROM hdital", -1, &count, nullptr),
                       db, "prepare count");
    bench::CheckSqlite(sqlite3_step(count), db, "count");
    if (sqlite3_column_int(count, 0) != w.rows)
        throw std::runtime_error("sqlite: wrong row count after reopen");
    sqlite3_finalize(count);
    times.reopen = Seconds(start);
    sqlite3_close(db);
    return times;
}

void PrintLine(const char* what, double ours, double theirs, const char* peer) {
    std::printf("%-34s ours %9.3f s   %-22s %9.3f s   ratio %6.2f\n", what, ours, peer, theirs,
                theirs > 0 ? ours / theirs : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        vesk::RegisterStandardAlgorithms();
        Workload w;
        if (argc > 1)
            w.rows = std::stoi(argv[1]);
        if (argc > 2)
            w.keyLocates = std::stoi(argv[2]);
        if (argc > 3)
            w.scanLocates = std::stoi(argv[3]);
        std::string folder;
        if (argc > 4) {
            folder = argv[4];
        } else {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "engine-bench-XXXXXX").string();
            if (::mkdtemp(pattern.data()) == nullptr)
                throw std::runtime_error("mkdtemp failed");
            folder = pattern;
        }
        std::mt19937 random(20261210);
        std::uniform_int_distribution<int> anyRow(0, w.rows - 1);
        for (int i = 0; i < w.keyLocates; ++i)
            w.keys.push_back(anyRow(random) + 1);
        for (int i = 0; i < w.scanLocates; ++i)
            w.scanRows.push_back(anyRow(random));

        std::printf("rows %d, key locates %d, scan locates %d, folder %s\n", w.rows, w.keyLocates,
                    w.scanLocates, folder.c_str());
        const Times perRow = RunSqlite(w, folder + "/row.sqlite", false);
        const Times oneTxn = RunSqlite(w, folder + "/txn.sqlite", true);
        for (const std::int32_t width : {4096, 1024}) {
            const Times ours =
                RunEngine(w, folder + "/bench" + std::to_string(width) + ".dat", width);
            std::printf("-- path columns of %d characters\n", width);
            PrintLine("append (SQLite: txn per row)", ours.append, perRow.append, "sqlite txn/row");
            PrintLine("append (SQLite: one txn)", ours.append, oneTxn.append, "sqlite one txn");
            PrintLine("locate keys by index", ours.keyLocate, perRow.keyLocate, "sqlite");
            PrintLine("locate texts by scan", ours.scanLocate, perRow.scanLocate, "sqlite");
            PrintLine("filter (first pass)", ours.filterFirst, perRow.filterFirst, "sqlite");
            PrintLine("filter (each later pass)", ours.filterAgain, perRow.filterAgain, "sqlite");
            PrintLine("reopen table", ours.reopen, perRow.reopen, "sqlite");
        }
        std::error_code ignored;
        if (argc <= 4)
            std::filesystem::remove_all(folder, ignored);
        std::printf(
            "goals: append ratio (txn per row) <= 2.00; key locate, scan locate, filter and "
            "reopen ratios <= 1.00\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "engine_vs_sqlite_bench: %s\n", e.what());
        return 1;
    }
}
