// The history page's load against SQLite, in one run: a history of N transfers in H heads over
// S sites (the details written in turns for every head, the worst order for reading by head)
// is put into the table engine's "all.dat" and into an SQLite file of the same tables and
// rows. Ours is the page's refresh: the real history tree, shown offscreen, loaded from the
// three tables and drawn. SQLite's is the same tree built by the same code from the same rows
// read with three SELECTs. Each time is the best of three rounds; the ratio is ours/SQLite,
// and the growth is the time of the largest history over the smallest.
//
// Usage: history_load_bench [transfers heads sites]...  (default: 10000 200 20 100000 2000 20)
#include <sqlite3.h>
#include <stdlib.h>
#include <QApplication>
#include <QTreeWidget>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/sqlite_check.h"
#include "mainwindow/engine_lifetime.h"
#include "mainwindow/history_page.h"
#include "mainwindow/history_tables.h"
#include "mainwindow/history_tree.h"
#include "platform/os/testing/temp_folder.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Shape {
    int transfers, heads, sites;
};

// The rows of both files.
std::string SiteName(int site) {
    return "site" + std::to_string(site);
}
// Head h (0-based): its site, direction and day; two heads of one site share each day and
// direction, so day nodes hold several heads.
int HeadSite(int head, int sites) {
    return head % sites + 1;
}
std::string HeadType(int head, int sites) {
    return (head / sites) % 2 == 0 ? "Download" : "Upload";
}
std::string HeadDate(int head, int sites) {
    return "Day " + std::to_string(head / (4 * sites));
}
rhd Detail(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "file%06d.bin", i);
    rhd d;
    d.type = "Download";
    d.date = "10:00:00";
    d.date2 = "10:00:01";
    d.ftppath = "/pub/dir" + std::to_string(i % 1000);
    d.lopath = "/home/user/dl/" + std::string(name);
    d.ftpfile = name;
    d.lofile = name;
    d.usetime = "1";
    d.speed = "123.45KB/S";
    d.isfolder = i % 10 == 0;
    return d;
}

void FillEngine(Tdm& data, const Shape& shape) {
    {
        OpenTable sites(*data.Tftpsite);
        for (int s = 1; s <= shape.sites; ++s) {
            sites->Append();
            sites->FieldByName("name").SetAsString(SiteName(s));
            sites->FieldByName("address").SetAsString("10.0.0." + std::to_string(s));
            sites->Post();
        }
    }
    {
        OpenTable heads(*data.Thm);
        for (int h = 0; h < shape.heads; ++h) {
            heads->Append();
            heads->FieldByName("id").SetAsInteger(HeadSite(h, shape.sites));
            heads->FieldByName("date").SetAsString(HeadDate(h, shape.sites));
            heads->FieldByName("type").SetAsString(HeadType(h, shape.sites));
            heads->Post();
        }
    }
    OpenTable details(*data.Thd);
    vesk::TField* text[] = {&details->FieldByName("type"),    &details->FieldByName("lofile"),
                            &details->FieldByName("ftpfile"), &details->FieldByName("date"),
                            &details->FieldByName("date2"),   &details->FieldByName("ftppath"),
                            &details->FieldByName("lopath"),  &details->FieldByName("usetime"),
                            &details->FieldByName("speed")};
    for (int i = 0; i < shape.transfers; ++i) {
        const rhd d = Detail(i);
        const std::string* values[] = {&d.type,    &d.lofile, &d.ftpfile, &d.date, &d.date2,
                                       &d.ftppath, &d.lopath, &d.usetime, &d.speed};
        details->Append();
        details->FieldByName("id").SetAsInteger(i % shape.heads + 1);  // head keys are 1..H
        for (std::size_t c = 0; c < std::size(text); ++c)
            text[c]->SetAsString(*values[c]);
        details->FieldByName("isfolder").SetAsBoolean(d.isfolder);
        details->Post();
    }
}

void FillSqlite(const std::string& path, const Shape& shape) {
    sqlite3* db = nullptr;
    bench::CheckSqlite(sqlite3_open(path.c_str(), &db), db, "open");
    const char* schema =
        "PRAGMA synchronous=OFF;"
        "CREATE TABLE ftpsite (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, address TEXT);"
        "CREATE TABLE hmaster (key INTEGER PRIMARY KEY AUTOINCREMENT, id INTEGER, date TEXT, "
        "type TEXT);"
        "CREATE TABLE hdital (key INTEGER PRIMARY KEY AUTOINCREMENT, id INTEGER, type TEXT, "
        "lofile TEXT, ftpfile TEXT, date TEXT, date2 TEXT, ftppath TEXT, lopath TEXT, "
        "usetime TEXT, speed TEXT, isfolder INTEGER);"
        "BEGIN;";
    bench::CheckSqlite(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), db, "schema");
    sqlite3_stmt* st = nullptr;
    bench::CheckSqlite(sqlite3_prepare_v2(db, "INSERT INTO ftpsite (name, address) VALUES (?, ?)",
                                          -1, &st, nullptr),
                       db, "prepare");
    for (int s = 1; s <= shape.sites; ++s) {
        const std::string name = SiteName(s), address = "10.0.0." + std::to_string(s);
        sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, address.c_str(), -1, SQLITE_TRANSIENT);
        bench::CheckSqlite(sqlite3_step(st), db, "insert site");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench::CheckSqlite(
        sqlite3_prepare_v2(db, "INSERT INTO hmaster (id, date, type) VALUES (?, ?, ?)", -1, &st,
                           nullptr),
        db, "prepare");
    for (int h = 0; h < shape.heads; ++h) {
        const std::string date = HeadDate(h, shape.sites), type = HeadType(h, shape.sites);
        sqlite3_bind_int(st, 1, HeadSite(h, shape.sites));
        sqlite3_bind_text(st, 2, date.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, type.c_str(), -1, SQLITE_TRANSIENT);
        bench::CheckSqlite(sqlite3_step(st), db, "insert head");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench::CheckSqlite(
        sqlite3_prepare_v2(db,
                           "INSERT INTO hdital (id, type, lofile, ftpfile, date, date2, "
                           "ftppath, lopath, usetime, speed, isfolder) VALUES "
                           "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &st, nullptr),
        db, "prepare");
    for (int i = 0; i < shape.transfers; ++i) {
        const rhd d = Detail(i);
        sqlite3_bind_int(st, 1, i % shape.heads + 1);
        const std::string* values[] = {&d.type,    &d.lofile, &d.ftpfile, &d.date, &d.date2,
                                       &d.ftppath, &d.lopath, &d.usetime, &d.speed};
        for (int c = 0; c < 9; ++c)
            sqlite3_bind_text(st, c + 2, values[c]->c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 11, d.isfolder ? 1 : 0);
        bench::CheckSqlite(sqlite3_step(st), db, "insert detail");
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench::CheckSqlite(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

std::string Column(sqlite3_stmt* st, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, column));
    return text == nullptr ? std::string() : std::string(text);
}

// SQLite's side: the same rows read with three SELECTs in table order, then the same tree.
void LoadFromSqlite(const std::string& path, THistoryPage& page) {
    sqlite3* db = nullptr;
    bench::CheckSqlite(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db,
                       "open");
    std::vector<mainwindow::HistorySite> sites;
    std::vector<mainwindow::HistoryHead> heads;
    mainwindow::THistoryDetailsByHead details;
    sqlite3_stmt* st = nullptr;
    bench::CheckSqlite(sqlite3_prepare_v2(db, "SELECT id, name, address FROM ftpsite ORDER BY id",
                                          -1, &st, nullptr),
                       db, "prepare");
    while (sqlite3_step(st) == SQLITE_ROW)
        sites.push_back({sqlite3_column_int(st, 0), Column(st, 1), Column(st, 2)});
    sqlite3_finalize(st);
    bench::CheckSqlite(
        sqlite3_prepare_v2(db, "SELECT key, id, date, type FROM hmaster ORDER BY key", -1, &st,
                           nullptr),
        db, "prepare");
    while (sqlite3_step(st) == SQLITE_ROW)
        heads.push_back(
            {sqlite3_column_int(st, 0), sqlite3_column_int(st, 1), Column(st, 2), Column(st, 3)});
    sqlite3_finalize(st);
    bench::CheckSqlite(
        sqlite3_prepare_v2(db,
                           "SELECT key, id, type, lofile, ftpfile, date, date2, ftppath, "
                           "lopath, usetime, speed, isfolder FROM hdital ORDER BY key",
                           -1, &st, nullptr),
        db, "prepare");
    while (sqlite3_step(st) == SQLITE_ROW) {
        rhd d;
        d.key = sqlite3_column_int(st, 0);
        d.type = Column(st, 2);
        d.lofile = Column(st, 3);
        d.ftpfile = Column(st, 4);
        d.date = Column(st, 5);
        d.date2 = Column(st, 6);
        d.ftppath = Column(st, 7);
        d.lopath = Column(st, 8);
        d.usetime = Column(st, 9);
        d.speed = Column(st, 10);
        d.isfolder = sqlite3_column_int(st, 11) != 0;
        details[sqlite3_column_int(st, 1)].push_back(std::move(d));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    BuildHistoryTree(*page.TreeView1, page.ImageList5, sites, heads, std::move(details),
                     page.FHistoryItems);
}

int CountNodes(const QTreeWidget& tree) {
    int count = 0;
    std::function<void(const QTreeWidgetItem&)> walk = [&](const QTreeWidgetItem& node) {
        ++count;
        for (int c = 0; c < node.childCount(); ++c)
            walk(*node.child(c));
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        walk(*tree.topLevelItem(i));
    return count;
}

// Best of three: the action, then the tree drawn.
double Best(const std::function<void()>& load) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        load();
        QApplication::processEvents();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

struct Result {
    Shape shape;
    double ours, sqlite;
};

Result Measure(const Shape& shape) {
    os::testing::TempFolder folder("history-bench");
    shared::testing::MakeDatabaseFile(folder.File("all.dat"), "all.schema");
    const std::string sqlitePath = folder.File("history.sqlite");
    Tdm data;
    dm = &data;
    data.VeskDatabase1->SetFileName(folder.File("all.dat"));
    data.VeskDatabase1->SetConnected(true);
    FillEngine(data, shape);
    FillSqlite(sqlitePath, shape);

    QWidget window;
    window.resize(320, 700);
    THistoryPage page(
        window, window, [&data]() -> Tdm& { return data; }, folder.path() + "/");
    window.show();
    QApplication::processEvents();
    Result result{shape, 0, 0};
    result.ours = Best([&] { page.ToolButton1Click(); });
    const int ourNodes = CountNodes(*page.TreeView1);
    const std::size_t ourItems = page.FHistoryItems.size();
    result.sqlite = Best([&] { LoadFromSqlite(sqlitePath, page); });
    if (CountNodes(*page.TreeView1) != ourNodes || page.FHistoryItems.size() != ourItems ||
        ourItems != static_cast<std::size_t>(shape.transfers))
        throw std::runtime_error("the two loads built different trees");
    page.TreeView1->clear();
    page.FHistoryItems.clear();
    dm = nullptr;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::vector<Shape> shapes;
    for (int i = 1; i + 2 < argc; i += 3)
        shapes.push_back({std::atoi(argv[i]), std::atoi(argv[i + 1]), std::atoi(argv[i + 2])});
    if (shapes.empty())
        shapes = {{10000, 200, 20}, {100000, 2000, 20}};
    try {
        const EngineLifetime engine;
        std::vector<Result> results;
        for (const Shape& shape : shapes) {
            if (shape.transfers <= 0 || shape.heads <= 0 || shape.sites <= 0)
                throw std::runtime_error("transfers, heads and sites must be positive");
            results.push_back(Measure(shape));
        }
        std::printf("%-28s %10s %10s %7s\n", "history", "ours", "SQLite", "ratio");
        for (const Result& r : results) {
            char label[64];
            std::snprintf(label, sizeof label, "%d in %d heads, %d sites", r.shape.transfers,
                          r.shape.heads, r.shape.sites);
            std::printf("%-28s %9.3fs %9.3fs %7.2f\n", label, r.ours, r.sqlite, r.ours / r.sqlite);
        }
        if (results.size() > 1) {
            const Result& first = results.front();
            const Result& last = results.back();
            std::printf("growth ours %.2f, SQLite %.2f for %.1f times the transfers\n",
                        last.ours / first.ours, last.sqlite / first.sqlite,
                        static_cast<double>(last.shape.transfers) / first.shape.transfers);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "history_load_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
