#include <QAbstractButton>
#include <QAccessible>
#include <QMenu>
#include <QPointer>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>

#include "mainwindow/main_form_test_support.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_pump.h"

namespace mainwindow::testing {
namespace {

using Pages = MainFormTest;

struct PageState {
    std::string caption;
    bool visible;
    int connects;
    bool operator==(const PageState&) const = default;
};

std::vector<PageState> States(TForm1& form) {
    std::vector<PageState> states;
    for (int number = 1; number <= form.PageCounter; ++number) {
        Tfb* frame = form.FindFrame(number);
        auto* sheet = static_cast<TTabSheet*>(frame->parentWidget());
        states.push_back({sheet->Caption(), sheet->TabVisible(), frame->ConnectCount()});
    }
    return states;
}

void PrintTo(const PageState& state, std::ostream* out) {
    *out << "{" << state.caption << (state.visible ? ", shown" : ", hidden") << ", "
         << state.connects << " connects}";
}

TEST_F(Pages, NumbersAreNeverReusedAndAClosedPageIsShownAndReconnectedAgain) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    form.OpenSitePage("B", false);
    form.CloseActivePage();  // B is active
    form.OpenSitePage("C", false);
    EXPECT_EQ(States(form),
              (std::vector<PageState>{{"A", true, 1}, {"B", false, 1}, {"C", true, 1}}));
    // Each page N is sheet N with its names and tags.
    for (int number = 1; number <= 3; ++number) {
        auto* sheet = static_cast<TTabSheet*>(form.PageControl1->widget(number));
        EXPECT_EQ(sheet->objectName(), QStringLiteral("tab%1").arg(number));
        EXPECT_EQ(sheet->Tag(), number);
        EXPECT_EQ(form.FindFrame(number)->objectName(), QStringLiteral("fr%1").arg(number));
        EXPECT_EQ(form.FindFrame(number)->FSiteName, sheet->Caption());
    }
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(3));

    form.OpenSitePage("B", false);  // hidden: shown and reconnected
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(2));
    form.OpenSitePage("A", false);  // visible: only brought to the front
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(1));
    EXPECT_EQ(States(form),
              (std::vector<PageState>{{"A", true, 1}, {"B", true, 2}, {"C", true, 1}}));
    EXPECT_EQ(form.PageCounter, 3);
    EXPECT_EQ(form.PageControl1->count(), 4);
}

TEST_F(Pages, PagesAreFoundByTheirExactCaptionNeverAsTheSiteListSheet) {
    AddSites({"FTP Site", "ftp site", "ftp.example.org", "R&D"});
    TForm1& form = ShowForm();
    form.OpenSitePage("FTP Site", false);
    form.OpenSitePage("ftp site", false);
    const TQuickConnectTarget quick = UnreachableQuickTarget();
    {
        const TScopedQuickConnectTarget dialogOpen(quick);
        form.OpenSitePage("ftp.example.org", true);
    }
    form.OpenSitePage("ftp.example.org", false);  // a stored site of the host's name shares it
    EXPECT_EQ(States(form),
              (std::vector<PageState>{
                  {"FTP Site", true, 1}, {"ftp site", true, 1}, {"ftp.example.org", true, 1}}));
    EXPECT_EQ(form.FindSitePage("FTP Site"), form.FindFrame(1)->parentWidget());
    EXPECT_EQ(form.FindSitePage("nothing"), nullptr);
    // A name with "&" is shown as it is.
    form.OpenSitePage("R&D", false);
    EXPECT_EQ(form.PageControl1->tabText(4), QStringLiteral("R&&D"));
}

TEST_F(Pages, ClosingEmptiesTheFrameStopsItsTimersAndWritesTheSharedLayout) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    Tfb& frame = *form.FindFrame(1);
    frame.Timer1->start(100000);
    frame.Timer2->start(1000);
    frame.SetLogHeight(71);
    frame.SetQueueHeight(82);
    frame.ListView2->SetStyle(ui::ViewStyle::kSmallIcons);
    auto* queue = static_cast<QStandardItemModel*>(frame.ListView1->model());
    queue->appendRow(new QStandardItem(QStringLiteral("file.txt")));
    form.CloseActivePage();
    EXPECT_FALSE(frame.Timer1->isActive());
    EXPECT_FALSE(frame.Timer2->isActive());
    EXPECT_EQ(queue->rowCount(), 0);
    EXPECT_EQ(LayoutValue("FTP", "INFO"), "71");
    EXPECT_EQ(LayoutValue("FTP", "UPDOWN"), "82");
    EXPECT_EQ(LayoutValue("FTP", "LVCVIEW"), "2");
    EXPECT_EQ(form.PageControl1->currentIndex(), 0);
    // The next new page takes the closed page's layout; a re-shown page keeps its own.
    form.OpenSitePage("B", false);
    EXPECT_EQ(form.FindFrame(2)->LogHeight(), 71);
    EXPECT_EQ(form.FindFrame(2)->QueueHeight(), 82);
    EXPECT_EQ(form.FindFrame(2)->ListView2->Style(), ui::ViewStyle::kSmallIcons);
    // Closing with the site list active does nothing.
    form.PageControl1->setCurrentIndex(0);
    form.CloseActivePage();
    EXPECT_TRUE(static_cast<TTabSheet*>(form.PageControl1->widget(2))->TabVisible());
}

TEST_F(Pages, CloseAllHidesEveryPageAndLeavesTheLowestPagesLayout) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    for (const char* name : {"A", "B", "C"})
        form.OpenSitePage(name, false);
    for (int number = 1; number <= 3; ++number)
        form.FindFrame(number)->SetLogHeight(60 + number);
    form.Closeall1Click();
    EXPECT_EQ(States(form),
              (std::vector<PageState>{{"A", false, 1}, {"B", false, 1}, {"C", false, 1}}));
    EXPECT_TRUE(form.PageControl1->isTabVisible(0));
    EXPECT_EQ(LayoutValue("FTP", "INFO"), "61");
}

// A layout file that cannot be written is no reason to keep a page open and connected: both
// close commands close their pages and hand the write error to the error handler.
TEST_F(Pages, ClosingGoesOnWhenTheLayoutCannotBeWritten) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    for (const char* name : {"A", "B", "C"})
        form.OpenSitePage(name, false);
    for (int number = 1; number <= 3; ++number)
        form.FindFrame(number)->Timer1->start(100000);
    std::filesystem::create_directory(folder_ + "forminfo.ini");
    const std::string expected = "Unable to write to " + folder_ + "forminfo.ini";

    form.Closepage1->trigger();  // page 3 is active
    EXPECT_FALSE(form.FindFrame(3)->Timer1->isActive());
    EXPECT_EQ(States(form).back(), (PageState{"C", false, 1}));
    EXPECT_EQ(form.LastErrorText(), expected);

    form.OpenSitePage("A", false);  // make the error text of the next command its own
    form.ApplicationEvents1Exception(nullptr);
    form.Closeall1->trigger();
    EXPECT_EQ(States(form),
              (std::vector<PageState>{{"A", false, 1}, {"B", false, 1}, {"C", false, 1}}));
    EXPECT_FALSE(form.FindFrame(1)->Timer1->isActive());
    EXPECT_FALSE(form.FindFrame(2)->Timer1->isActive());
    EXPECT_EQ(form.LastErrorText(), expected);
}

TEST_F(Pages, RightClickSelectsTheTabUnderThePointerAndOffersTheMenuOnPagesOnly) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    QTabBar* tabs = form.PageControl1->tabBar();
    form.PageControl1MouseDown(Qt::RightButton, tabs->tabRect(0).center());
    EXPECT_EQ(form.PageControl1->currentIndex(), 0);
    EXPECT_FALSE(form.PopupMenu1->isVisible());
    form.PageControl1MouseDown(Qt::LeftButton, tabs->tabRect(1).center());
    EXPECT_EQ(form.PageControl1->currentIndex(), 0);
    form.PageControl1MouseDown(Qt::RightButton, tabs->tabRect(1).center());
    EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    EXPECT_TRUE(form.PopupMenu1->isVisible());
    form.PopupMenu1->hide();
}

TEST_F(Pages, UploadButtonFollowsTheActivePage) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    EXPECT_FALSE(form.ToolButton35->isEnabled());  // the empty frame is not connected
    form.ToolButton35->setEnabled(true);
    form.PageControl1->setCurrentIndex(0);  // as the user picks the site list
    EXPECT_FALSE(form.ToolButton35->isEnabled());
}

// The Upload button follows a new page before its bookmarks are read: a bookmark file that
// cannot be read leaves the button as the new, disconnected page has it, not as the page
// before had it.
TEST_F(Pages, ANewPageSetsTheUploadButtonBeforeItsBookmarks) {
    AddSites({"A", "B"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    form.ToolButton35->setEnabled(true);  // as a connected page has it
    std::filesystem::remove(folder_ + "FTPBookmark.dat");
    EXPECT_ANY_THROW(form.OpenSitePage("B", false));
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(2));
    EXPECT_FALSE(form.ToolButton35->isEnabled());
}

// Every control a person can act on in the window has an accessible name: icon-only tool
// buttons their hint, lists what they hold. (A page control is acted on through its tabs,
// which carry their captions.)
TEST_F(Pages, EveryControlOfTheWindowHasAnAccessibleName) {
    AddSites({"A"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    QApplication::processEvents();
    int buttons = 0;
    for (QWidget* control : form.findChildren<QWidget*>()) {
        const bool button = qobject_cast<QAbstractButton*>(control) != nullptr;
        if (!control->isVisible() || qobject_cast<QTabWidget*>(control) != nullptr ||
            (!button && control->focusPolicy() == Qt::NoFocus))
            continue;
        buttons += button ? 1 : 0;
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(access, nullptr);
        EXPECT_FALSE(access->text(QAccessible::Name).isEmpty())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
    EXPECT_GE(buttons, 20);
}

// Closing the window shuts the pages down from the highest number, hidden ones included: the
// shared section keeps the lowest page's values, and the frames go with their sheets in the
// same order once control is back in the event loop.
TEST_F(Pages, ShutDownWritesEveryPageFromTheHighestNumberThenTheWindow) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    for (const char* name : {"A", "B", "C"})
        form.OpenSitePage(name, false);
    form.OpenSitePage("B", false);
    form.CloseActivePage();  // page 2 is hidden
    std::vector<int> freed;
    std::vector<QTimer*> timers;
    for (int number = 1; number <= 3; ++number) {
        Tfb* frame = form.FindFrame(number);
        frame->SetLogHeight(40 + number);
        frame->Timer2->start(1000);
        timers.push_back(frame->Timer2);
        QObject::connect(frame, &QObject::destroyed, [&freed, number] { freed.push_back(number); });
    }
    form.close();
    for (QTimer* timer : timers)
        EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(LayoutValue("FTP", "INFO"), "41");
    EXPECT_EQ(LayoutValue("MAIN", "WELCOMEH"), "0");
    EXPECT_EQ(form.FindFrame(1), nullptr);  // shut down: no page any more
    EXPECT_TRUE(freed.empty());             // freed only by the event loop
    FlushDeferredDeletes();
    EXPECT_EQ(freed, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(form.PageControl1->count(), 1);
}

// A layout file that cannot be written does not keep pages connected: every page is shut
// down and freed, and the write error reaches the error handler.
TEST_F(Pages, ShutDownGoesOnWhenTheLayoutCannotBeWritten) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    form.OpenSitePage("B", false);
    std::filesystem::create_directory(folder_ + "forminfo.ini");
    form.close();
    FlushDeferredDeletes();
    EXPECT_EQ(form.PageControl1->count(), 1);
    EXPECT_EQ(form.FindFrame(1), nullptr);
    EXPECT_EQ(form.LastErrorText(), "Unable to write to " + folder_ + "forminfo.ini");
    EXPECT_FALSE(form.isVisible());
}

// The window is closed, and the page closed before it, while the page's run waits in a pump
// (a blocking call): the run comes back to a live frame that tells it to stop, and the frame
// goes only after the run has returned.
TEST_F(Pages, ClosingInsideAPumpOfAPendingRunNeverFreesTheFrameUnderIt) {
    AddSites({"A", "B", "C"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    QPointer<Tfb> frame = form.FindFrame(1);
    int step = 0;
    QTimer::singleShot(0, [&] {
        form.CloseActivePage();
        ++step;
        QTimer::singleShot(0, [&] {
            form.close();
            ++step;
        });
    });
    {
        const TPageLifetime::Run run(frame->Lifetime());
        while (step < 2)
            ui::ProcessMessages();  // the wait of the pending call
        ui::ProcessMessages();
        ASSERT_TRUE(frame);
        EXPECT_TRUE(run.Stopped());
        EXPECT_TRUE(frame->Closed());
        EXPECT_EQ(frame->ListView1->model()->rowCount(), 0);
        FlushDeferredDeletes();
        EXPECT_TRUE(frame);
    }
    FlushDeferredDeletes();
    EXPECT_FALSE(frame);
    EXPECT_EQ(form.PageControl1->count(), 1);
}

}  // namespace
}  // namespace mainwindow::testing
