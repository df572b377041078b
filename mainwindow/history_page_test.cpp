// The history page offscreen: the tree against the load as first described (every head reading
// the whole detail table), the enabling rules and details per level, deleting transfers and
// days, clearing, deleting a site's history, a load that fails, and the refusals of Execute.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

#include "mainwindow/history_page.h"
#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/tree_clicks.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/recorded_help.h"
#include "platform/ui/testing/scripted_ui.h"

namespace mainwindow::testing {
namespace {

class HistoryPage : public MainFormTest {
  protected:
    THistoryPage& Page() { return *form_->findChild<THistoryPage*>("HistoryPage"); }

    int ImageOf(const QTreeWidgetItem& node) {
        for (std::size_t i = 0; i < Page().ImageList5.size(); ++i) {
            if (Page().ImageList5[i].cacheKey() == node.icon(0).cacheKey())
                return static_cast<int>(i);
        }
        return -1;
    }

    // One line per node: depth, text, image, the site id of the node and the key of its record.
    void Dump(const QTreeWidgetItem& node, int depth, std::vector<std::string>& lines) {
        const THistoryNode* history = AsHistoryNode(&node);
        std::string line = std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                           node.text(0).toStdString() + " [" + std::to_string(ImageOf(node)) +
                           "] site " + std::to_string(history ? history->SiteId() : -1);
        if (history != nullptr && history->Record() != nullptr)
            line += " key " + std::to_string(history->Record()->key) + " site " +
                    std::to_string(history->Record()->siteid);
        lines.push_back(line);
        for (int child = 0; child < node.childCount(); ++child)
            Dump(*node.child(child), depth + 1, lines);
    }

    std::vector<std::string> Tree() {
        std::vector<std::string> lines;
        for (int i = 0; i < form_->TreeView1->topLevelItemCount(); ++i)
            Dump(*form_->TreeView1->topLevelItem(i), 0, lines);
        return lines;
    }

    // The load as first described, straight over the tables: per site, the heads from the last
    // to the first, each reading the whole detail table for its rows.
    std::vector<std::string> ExpectedTree() {
        struct Day {
            std::string text;
            std::vector<std::string> lines;
        };
        std::vector<std::string> lines;
        OpenTable sites(*dm->Tftpsite);
        OpenTable heads(*dm->Thm);
        OpenTable details(*dm->Thd);
        for (sites->First(); !sites->Eof(); sites->Next()) {
            const std::int32_t id = sites->FieldByName("id").AsInteger();
            const std::string site = " site " + std::to_string(id);
            std::vector<Day> days[2];  // upload, download
            heads->Last();
            for (std::int32_t left = heads->RecordCount(); left > 0; --left, heads->Prior()) {
                if (heads->FieldByName("id").AsInteger() != id)
                    continue;
                std::vector<Day>& direction =
                    days[heads->FieldByName("type").AsString() == "Upload" ? 0 : 1];
                const std::string date = heads->FieldByName("date").AsString();
                Day* day = nullptr;
                for (Day& known : direction)
                    day = known.text == date ? &known : day;
                if (day == nullptr) {
                    direction.push_back({date, {}});
                    day = &direction.back();
                }
                for (details->First(); !details->Eof(); details->Next()) {
                    if (details->FieldByName("id").AsInteger() !=
                        heads->FieldByName("key").AsInteger())
                        continue;
                    const int image = details->FieldByName("isfolder").AsBoolean() ? 5 : 4;
                    day->lines.push_back("      " + details->FieldByName("lofile").AsString() +
                                         " [" + std::to_string(image) + "]" + site + " key " +
                                         std::to_string(details->FieldByName("key").AsInteger()) +
                                         site);
                }
            }
            lines.push_back(sites->FieldByName("name").AsString() + "  (" +
                            sites->FieldByName("address").AsString() + ") [0]" + site);
            for (int d = 0; d < 2; ++d) {
                lines.push_back(std::string(d == 0 ? "  Upload [2]" : "  Download [3]") + site);
                for (const Day& day : days[d]) {
                    lines.push_back("    " + day.text + " [1]" + site);
                    lines.insert(lines.end(), day.lines.begin(), day.lines.end());
                }
            }
        }
        return lines;
    }

    QTreeWidgetItem* Node(std::initializer_list<int> path) {
        QTreeWidgetItem* node = nullptr;
        for (const int index : path)
            node = node == nullptr ? form_->TreeView1->topLevelItem(index) : node->child(index);
        return node;
    }

    void Select(QTreeWidgetItem* node) { form_->TreeView1->setCurrentItem(node); }
};

TEST_F(HistoryPage, WithoutHistoryEverySiteShowsItsTwoDirectionsOnly) {
    AddSite("alpha");
    AddSite("beta");
    TForm1& form = ShowForm();
    EXPECT_EQ(form.TreeView1->topLevelItemCount(), 0);  // nothing before the refresh
    form.ToolButton1->click();
    EXPECT_EQ(Tree(), (std::vector<std::string>{"alpha  (ftp.example.org) [0] site 1",
                                                "  Upload [2] site 1", "  Download [3] site 1",
                                                "beta  (ftp.example.org) [0] site 2",
                                                "  Upload [2] site 2", "  Download [3] site 2"}));
    EXPECT_TRUE(form.FHistoryItems().empty());
}

// Interleaved heads of two sites and both directions, two heads with one day text, a head
// whose type is neither, details written in turns for several heads, details without a head
// and a head of a site that is gone.
TEST_F(HistoryPage, TheTreeIsTheOneEveryHeadReadingTheWholeDetailTableWouldBuild) {
    const std::int32_t a = AddSite("alpha");
    SiteValues beta;
    beta.name = "beta";
    beta.address = "10.0.0.2";
    const std::int32_t b = AddSite(beta);
    AddSite("idle");
    const std::int32_t a1 = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    const std::int32_t b1 = AddHistoryHead(b, "Download", "Monday, 7 December 2026");
    const std::int32_t a2 = AddHistoryHead(a, "Upload", "Tuesday, 8 December 2026");
    const std::int32_t a3 = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    const std::int32_t gone = AddHistoryHead(99, "Download", "Monday, 7 December 2026");
    const std::int32_t a4 = AddHistoryHead(a, "download", "Wednesday, 9 December 2026");
    const std::int32_t b2 = AddHistoryHead(b, "Upload", "Tuesday, 8 December 2026");
    AddHistoryDetail(a1, {"one.txt"});
    AddHistoryDetail(a3, {"three.txt"});
    AddHistoryDetail(b1, {"b-one.bin"});
    AddHistoryDetail(a1, {"dir", "Download", true});
    AddHistoryDetail(777, {"orphan.txt"});
    AddHistoryDetail(a2, {"up.txt", "Upload"});
    AddHistoryDetail(gone, {"lost.txt"});
    AddHistoryDetail(a3, {"three-b.txt"});
    AddHistoryDetail(a4, {"odd.txt"});
    AddHistoryDetail(b2, {"b-up.txt", "Upload"});
    AddHistoryDetail(a1, {"one-c.txt"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    const std::vector<std::string> expected = ExpectedTree();
    EXPECT_EQ(Tree(), expected);
    // Spot checks that the written-out load holds what it should: the newest day first, one
    // day node for both of alpha's "Monday" heads, the newer head's transfers first.
    ASSERT_GE(expected.size(), 10u);
    EXPECT_EQ(expected[2], "    Tuesday, 8 December 2026 [1] site 1");
    EXPECT_EQ(expected[5], "    Wednesday, 9 December 2026 [1] site 1");
    EXPECT_EQ(expected[7], "    Monday, 7 December 2026 [1] site 1");
    EXPECT_EQ(expected[8], "      three.txt [4] site 1 key 2 site 1");
    EXPECT_EQ(expected[11], "      dir [5] site 1 key 4 site 1");
    EXPECT_EQ(expected.size(), 23u);
    // The records are those of the nodes, in the order the load made them.
    ASSERT_EQ(form.FHistoryItems().size(), 9u);
    EXPECT_EQ(form.FHistoryItems()[0].lofile, "odd.txt");
    EXPECT_EQ(form.FHistoryItems()[0].siteid, a);
    EXPECT_EQ(form.FHistoryItems()[8].lofile, "b-one.bin");
    EXPECT_EQ(form.FHistoryItems()[8].siteid, b);
    // A refresh builds the same tree again, with fresh records.
    form.ToolButton1->click();
    EXPECT_EQ(Tree(), expected);
    EXPECT_EQ(form.FHistoryItems().size(), 9u);
}

struct Enabling {
    bool refresh, del, execute, clear, expand, collapse, help, popupExecute, popupDelete;
    bool operator==(const Enabling&) const = default;
};

void PrintTo(const Enabling& e, std::ostream* out) {
    *out << "{refresh " << e.refresh << ", delete " << e.del << ", execute " << e.execute
         << ", clear " << e.clear << ", expand " << e.expand << ", collapse " << e.collapse
         << ", help " << e.help << ", popup execute " << e.popupExecute << ", popup delete "
         << e.popupDelete << "}";
}

Enabling EnablingOf(TForm1& form) {
    return {form.ToolButton1->isEnabled(),  form.ToolButton6->isEnabled(),
            form.ToolButton16->isEnabled(), form.ToolButton7->isEnabled(),
            form.ToolButton11->isEnabled(), form.ToolButton15->isEnabled(),
            form.ToolButton14->isEnabled(), form.Execute1->isEnabled(),
            form.Delete2->isEnabled()};
}

std::vector<std::string> Details(TForm1& form) {
    std::vector<std::string> texts;
    for (const QLabel* label :
         {form.Label4, form.Label6, form.Label12, form.Label14, form.Label2, form.Label10})
        texts.push_back(label->text().toStdString());
    return texts;
}

TEST_F(HistoryPage, ButtonsPopupAndDetailsFollowTheSelectedLevel) {
    const std::int32_t a = AddSite("alpha");
    AddHistoryDetail(AddHistoryHead(a, "Download", "Monday, 7 December 2026"),
                     {"one.txt", "Download", false, "remote.txt",
                      "/home/u/some/deep/folder/one.txt", "/pub/files/"});
    TForm1& form = ShowForm();
    EXPECT_EQ(EnablingOf(form),
              (Enabling{true, false, false, false, false, false, true, false, false}));
    form.ToolButton1->click();
    EXPECT_EQ(EnablingOf(form),
              (Enabling{true, false, false, true, true, true, true, false, false}));
    const std::vector<std::string> empty(6, "");
    const std::vector<std::string> shown = {"10:00:01",    "10:01:00",
                                            "1.5sec",      "12.50KB/S",
                                            "/pub/files/", "/home/u/some/deep/folder/one.txt"};
    const struct {
        std::initializer_list<int> path;
        bool del, execute;
        const std::vector<std::string>& details;
    } cases[] = {
        {{0, 1, 0, 0}, true, true, shown}, {{0}, false, false, empty},
        {{0, 1, 0}, true, false, empty},   {{0, 1}, false, false, empty},
        {{0, 1, 0, 0}, true, true, shown}, {{0, 0}, false, false, empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::vector<int>(c.path)));
        Select(Node(c.path));
        form.PhistoryPopup();
        EXPECT_EQ(EnablingOf(form),
                  (Enabling{true, c.del, c.execute, true, true, true, true, c.execute, c.del}));
        EXPECT_EQ(Details(form), c.details);
    }
    // With no node chosen neither the buttons nor the popup offer anything, and no details show.
    Select(Node({0, 1, 0, 0}));
    form.TreeView1->setCurrentItem(nullptr);
    form.PhistoryPopup();
    EXPECT_EQ(EnablingOf(form),
              (Enabling{true, false, false, true, true, true, true, false, false}));
    EXPECT_EQ(Details(form), empty);
    // Expand opens every node; Collapse closes them and disables Delete and Execute.
    Select(Node({0, 1, 0, 0}));
    form.ToolButton11->click();
    EXPECT_TRUE(Node({0, 1, 0})->isExpanded());
    EXPECT_TRUE(Node({0})->isExpanded());
    form.ToolButton15->click();
    EXPECT_FALSE(Node({0, 1, 0})->isExpanded());
    EXPECT_FALSE(Node({0})->isExpanded());
    EXPECT_FALSE(form.ToolButton6->isEnabled());
    EXPECT_FALSE(form.ToolButton16->isEnabled());
    // Help shows the page's topic.
    ui::RecordedHelp help;
    form.ToolButton14->click();
    EXPECT_EQ(help.requests, (std::vector<ui::HelpRequest>{{folder_ + "Zantrope.hlp", "item23"}}));
}

// Clicks as the user gives them: a Ctrl+click takes the highlight off the chosen node, which
// leaves it current; such a node is no choice, and Delete and Execute leave it alone. Collapse
// hands the choice to the site node, and a click on the transfer after Expand chooses it again.
TEST_F(HistoryPage, OnlyTheNodeTheUserSeesChosenIsActedOn) {
    const std::int32_t a = AddSite("alpha");
    const std::int32_t head = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    AddHistoryDetail(head, {"one.txt", "Download", false, "one.txt", "/l/one.txt", "/pub/"});
    AddHistoryDetail(head, {"two.txt"});
    TForm1& form = ShowForm();
    int runs = 0;
    Page().OnExecute = [&runs](const rhd&) { ++runs; };
    form.ToolButton1->click();
    form.ToolButton11->click();
    QTreeWidget& tree = *form.TreeView1;
    QTreeWidgetItem* day = Node({0, 1, 0});
    QTreeWidgetItem* transfer = Node({0, 1, 0, 0});
    const std::vector<std::string> empty(6, "");
    const auto expectNothingOffered = [&] {
        form.PhistoryPopup();
        EXPECT_EQ(EnablingOf(form),
                  (Enabling{true, false, false, true, true, true, true, false, false}));
        EXPECT_EQ(Details(form), empty);
    };

    ClickNode(tree, transfer);
    ASSERT_TRUE(form.ToolButton16->isEnabled());
    ClickNode(tree, transfer, Qt::ControlModifier);
    ASSERT_EQ(tree.currentItem(), transfer);
    ASSERT_FALSE(transfer->isSelected());
    expectNothingOffered();
    form.ToolButton16Click();
    form.ToolButton6Click();
    EXPECT_EQ(runs, 0);
    ASSERT_EQ(day->childCount(), 2);
    // The same for a day, whose Delete would take its transfers along.
    ClickNode(tree, day);
    ClickNode(tree, day, Qt::ControlModifier);
    expectNothingOffered();
    form.ToolButton6Click();
    ASSERT_EQ(Node({0, 1})->childCount(), 1);
    EXPECT_EQ(Column(*dm->Thd, "lofile"), (std::vector<std::string>{"one.txt", "two.txt"}));
    // A click on the current node that lost its highlight chooses it again.
    ClickNode(tree, transfer);
    ClickNode(tree, transfer, Qt::ControlModifier);
    ClickNode(tree, transfer);
    EXPECT_TRUE(form.ToolButton16->isEnabled());
    form.ToolButton16Click();
    EXPECT_EQ(runs, 1);

    // Collapse: the site node is chosen, nothing hidden stays so.
    form.ToolButton15->click();
    EXPECT_EQ(tree.currentItem(), Node({0}));
    EXPECT_TRUE(Node({0})->isSelected());
    expectNothingOffered();
    form.ToolButton11->click();
    ClickNode(tree, transfer);
    form.PhistoryPopup();
    EXPECT_EQ(EnablingOf(form), (Enabling{true, true, true, true, true, true, true, true, true}));
    EXPECT_EQ(Details(form)[5], "/l/one.txt");
    // Closing the day by its branch sign chooses the day.
    ClickBranch(tree, day);
    ASSERT_FALSE(day->isExpanded());
    EXPECT_EQ(tree.currentItem(), day);
    EXPECT_TRUE(day->isSelected());
    form.PhistoryPopup();
    EXPECT_EQ(EnablingOf(form), (Enabling{true, true, false, true, true, true, true, false, true}));
    EXPECT_EQ(Details(form), empty);
}

TEST_F(HistoryPage, DeletingADayRemovesOnlyThatSitesHeadsAndDetails) {
    const std::int32_t a = AddSite("alpha");
    const std::int32_t b = AddSite("beta");
    const std::string day = "Monday, 7 December 2026";
    const std::int32_t a1 = AddHistoryHead(a, "Download", day);
    const std::int32_t b1 = AddHistoryHead(b, "Download", day);
    const std::int32_t a2 = AddHistoryHead(a, "Download", day);  // one day node with a1
    const std::int32_t aUp = AddHistoryHead(a, "Upload", day);
    AddHistoryDetail(a1, {"a1.txt"});
    AddHistoryDetail(b1, {"b1.txt"});
    AddHistoryDetail(a2, {"a2.txt"});
    AddHistoryDetail(aUp, {"up.txt", "Upload"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    ASSERT_EQ(Node({0, 1, 0})->childCount(), 2);
    Select(Node({0, 1, 0}));
    form.PhistoryPopup();
    form.Delete2->trigger();
    EXPECT_EQ(Node({0, 1})->childCount(), 0);
    EXPECT_EQ(Column(*dm->Thm, "type"), (std::vector<std::string>{"Download", "Upload"}));
    EXPECT_EQ(Column(*dm->Thd, "lofile"), (std::vector<std::string>{"b1.txt", "up.txt"}));
    // beta's day and alpha's upload day stay, also after a refresh; alpha's download day is gone.
    form.ToolButton1->click();
    EXPECT_EQ(Node({0, 0})->childCount(), 1);
    EXPECT_EQ(Node({0, 1})->childCount(), 0);
    ASSERT_EQ(Node({1, 1})->childCount(), 1);
    EXPECT_EQ(Node({1, 1, 0, 0})->text(0), "b1.txt");
}

TEST_F(HistoryPage, ADayWhoseTransfersWereDeletedOneByOneStaysUntilItIsDeleted) {
    const std::int32_t a = AddSite("alpha");
    const std::int32_t head = AddHistoryHead(a, "Upload", "Monday, 7 December 2026");
    AddHistoryDetail(head, {"x.txt", "Upload"});
    AddHistoryDetail(head, {"y.txt", "Upload"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    for (const char* name : {"x.txt", "y.txt"}) {
        ASSERT_EQ(Node({0, 0, 0, 0})->text(0).toStdString(), name);
        Select(Node({0, 0, 0, 0}));
        form.ToolButton6->click();
    }
    EXPECT_EQ(Node({0, 0, 0})->childCount(), 0);
    EXPECT_TRUE(Column(*dm->Thd, "lofile").empty());
    form.ToolButton1->click();
    ASSERT_EQ(Node({0, 0})->childCount(), 1);  // the head still exists
    Select(Node({0, 0, 0}));
    form.ToolButton6->click();
    EXPECT_EQ(Node({0, 0})->childCount(), 0);
    EXPECT_TRUE(Column(*dm->Thm, "date").empty());
}

TEST_F(HistoryPage, AStaleTransferNodeStaysAndAStaleDayGoes) {
    const std::int32_t a = AddSite("alpha");
    const std::int32_t head = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    AddHistoryDetail(head, {"x.txt"});
    AddHistoryDetail(head, {"y.txt"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    {
        OpenTable details(*dm->Thd);
        details->EmptyTable();
    }
    Select(Node({0, 1, 0, 0}));
    form.ToolButton6->click();
    EXPECT_EQ(Node({0, 1, 0})->childCount(), 2);
    Select(Node({0, 1, 0}));
    form.ToolButton6->click();
    EXPECT_EQ(Node({0, 1})->childCount(), 0);
    EXPECT_TRUE(Column(*dm->Thm, "date").empty());
    // Site and direction nodes are not deleted.
    Select(Node({0, 1}));
    form.ToolButton6Click();
    Select(Node({0}));
    form.ToolButton6Click();
    EXPECT_EQ(Tree().size(), 3u);
}

TEST_F(HistoryPage, DeletingASiteRemovesItsHeadsAndExactlyTheirDetails) {
    const std::int32_t a = AddSite("alpha");
    const std::int32_t b = AddSite("beta");
    const std::int32_t a1 = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    const std::int32_t b1 = AddHistoryHead(b, "Download", "Monday, 7 December 2026");
    const std::int32_t a2 = AddHistoryHead(a, "Upload", "Tuesday, 8 December 2026");
    AddHistoryDetail(a1, {"a1.txt"});
    AddHistoryDetail(b1, {"b1.txt"});
    AddHistoryDetail(a2, {"a2.txt"});
    AddHistoryDetail(a1, {"a1b.txt"});
    AddHistoryDetail(b1, {"b1b.txt"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    const std::vector<std::string> before = Tree();
    form.DeleteSiteHistory(a);
    EXPECT_EQ(Column(*dm->Thm, "date"), (std::vector<std::string>{"Monday, 7 December 2026"}));
    EXPECT_EQ(Column(*dm->Thd, "lofile"), (std::vector<std::string>{"b1.txt", "b1b.txt"}));
    EXPECT_EQ(Tree(), before);  // the tree shows the old state until the next refresh
    // The site list's delete runs the same routine for beta.
    form.DeleteSite("beta");
    EXPECT_TRUE(Column(*dm->Thm, "date").empty());
    EXPECT_TRUE(Column(*dm->Thd, "lofile").empty());
    EXPECT_EQ(Tree(), before);
    form.ToolButton1->click();
    EXPECT_EQ(Tree().size(), 3u);  // alpha with its two directions
}

TEST_F(HistoryPage, ClearHistoryEmptiesBothTablesAndLeavesSitesAndDirections) {
    const std::int32_t a = AddSite("alpha");
    AddHistoryDetail(AddHistoryHead(a, "Download", "Monday, 7 December 2026"), {"x.txt"});
    TForm1& form = ShowForm();
    form.ToolButton1->click();
    Select(Node({0, 1, 0, 0}));
    form.ToolButton7->click();
    EXPECT_TRUE(Column(*dm->Thm, "date").empty());
    EXPECT_TRUE(Column(*dm->Thd, "lofile").empty());
    EXPECT_TRUE(form.FHistoryItems().empty());
    EXPECT_EQ(Tree(), (std::vector<std::string>{"alpha  (ftp.example.org) [0] site 1",
                                                "  Upload [2] site 1", "  Download [3] site 1"}));
    // New rows get keys from 1 again and load as before.
    AddHistoryDetail(AddHistoryHead(a, "Upload", "Tuesday, 8 December 2026"), {"y.txt", "Upload"});
    form.ToolButton1->click();
    EXPECT_EQ(Tree(), ExpectedTree());
    EXPECT_EQ(form.FHistoryItems().at(0).key, 1);
}

// A missing database file stops the load with the tables closed again; the error reaches the
// window's handler and the next refresh works.
TEST_F(HistoryPage, ALoadThatFailsClosesItsTablesAndTheNextOneWorks) {
    const std::int32_t a = AddSite("alpha");
    AddHistoryDetail(AddHistoryHead(a, "Download", "Monday, 7 December 2026"), {"x.txt"});
    TForm1& form = ShowForm();
    std::filesystem::rename(folder_ + "all.dat", folder_ + "moved.dat");
    form.ToolButton1->click();
    EXPECT_NE(form.LastErrorText(), "");
    EXPECT_FALSE(dm->Tftpsite->Active());
    EXPECT_FALSE(dm->Thm->Active());
    EXPECT_FALSE(dm->Thd->Active());
    std::filesystem::rename(folder_ + "moved.dat", folder_ + "all.dat");
    form.ToolButton1->click();
    EXPECT_EQ(Tree(), ExpectedTree());
    EXPECT_EQ(Tree().size(), 5u);
}

class HistoryExecute : public HistoryPage {
  protected:
    // Loads the tree and presses Execute on transfer `path`, answering one error box.
    std::vector<ui::UiCall> Execute(std::initializer_list<int> path) {
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(ui::mrOk);
        form_->ToolButton1->click();
        Select(Node(path));
        form_->PhistoryPopup();
        form_->Execute1->trigger();
        return boxes.Calls();
    }

    static void ExpectError(const std::vector<ui::UiCall>& calls, const std::string& text) {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].kind, ui::MessageKind::kError);
        EXPECT_EQ(calls[0].buttons, ui::mbOK);
        EXPECT_EQ(calls[0].text, text);
    }
};

TEST_F(HistoryExecute, ASiteDeletedSinceTheLoadIsReportedAndNoPageOpens) {
    const std::int32_t a = AddSite("alpha");
    AddHistoryDetail(AddHistoryHead(a, "Download", "Monday, 7 December 2026"), {"x.txt"});
    ShowForm();
    form_->ToolButton1->click();
    {
        OpenTable sites(*dm->Tftpsite);
        sites->First();
        sites->Delete();
    }
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk);
    Select(Node({0, 1, 0, 0}));
    form_->ToolButton16->click();
    ExpectError(boxes.Calls(), "Can not read the information of the FTP site.");
    EXPECT_EQ(form_->ActiveFrame(), nullptr);
    EXPECT_EQ(form_->PageControl1->count(), 1);
}

// A local folder that cannot be made, and stored local names that would leave the stored
// folder: refused with the folder message, nothing queued, nothing made.
TEST_F(HistoryExecute, ADownloadWhoseTargetCannotBeMadeOrIsNotPlainIsRefused) {
    const std::int32_t a = AddSite("alpha");
    const std::string local = folder_ + "local";
    std::filesystem::create_directories(local);
    std::ofstream(local + "/file") << "x";
    const std::int32_t head = AddHistoryHead(a, "Download", "Monday, 7 December 2026");
    const std::vector<HistoryDetail> refused = {
        {"x.txt", "Download", false, "x.txt", local + "/file/sub/x.txt"},
        {"..", "Download", false, "x.txt", local + "/in/x.txt"},
        {"../x.txt", "Download", false, "x.txt", local + "/in/x.txt"},
        {"", "Download", false, "x.txt", local + "/in/x.txt"},
        {".", "Download", false, "x.txt", local + "/in/x.txt"},
        {"x.txt", "Download", false, "x.txt", "x.txt"},
        {"x.txt", "Download", false, "x.txt", "relative/x.txt"},
    };
    for (const HistoryDetail& detail : refused)
        AddHistoryDetail(head, detail);
    ShowForm();
    for (int i = 0; i < static_cast<int>(refused.size()); ++i) {
        SCOPED_TRACE(refused[static_cast<std::size_t>(i)].lopath);
        ExpectError(Execute({0, 1, 0, i}), "Can not create the folder " +
                                               refused[static_cast<std::size_t>(i)].lopath +
                                               ", please check and enter again.");
        ASSERT_NE(form_->ActiveFrame(), nullptr);
        EXPECT_TRUE(form_->ActiveFrame()->FQueue.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(local + "/in"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "relative"));
}

TEST_F(HistoryExecute, AnUploadWhoseLocalItemIsGoneIsRefused) {
    const std::int32_t a = AddSite("alpha");
    const std::string local = folder_ + "local";
    std::filesystem::create_directories(local + "/dir");
    std::ofstream(local + "/file") << "x";
    const std::int32_t head = AddHistoryHead(a, "Upload", "Monday, 7 December 2026");
    // A file where a folder was, a folder where a file was, and nothing at all.
    AddHistoryDetail(head, {"file", "Upload", true, "file", local + "/file"});
    AddHistoryDetail(head, {"dir", "Upload", false, "dir", local + "/dir"});
    AddHistoryDetail(head, {"gone", "Upload", false, "gone", local + "/gone"});
    // A relative path, even one that names a file in the current folder: it says nothing of
    // where the item was.
    AddHistoryDetail(head, {"file", "Upload", false, "file", "file"});
    struct InFolder {
        explicit InFolder(const std::string& folder) { std::filesystem::current_path(folder); }
        ~InFolder() { std::filesystem::current_path(was); }
        const std::filesystem::path was = std::filesystem::current_path();
    } inLocal(local);
    ShowForm();
    const std::vector<std::string> paths = {local + "/file", local + "/dir", local + "/gone",
                                            "file"};
    for (int i = 0; i < static_cast<int>(paths.size()); ++i) {
        const std::string& path = paths[static_cast<std::size_t>(i)];
        SCOPED_TRACE(path);
        ExpectError(Execute({0, 0, 0, i}), "The file " + path + " was not exists.");
        ASSERT_NE(form_->ActiveFrame(), nullptr);
        EXPECT_TRUE(form_->ActiveFrame()->FQueue.empty());
    }
}

}  // namespace
}  // namespace mainwindow::testing
