#include <QSplitter>
#include <QTabWidget>

#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/os/mount_points.h"
#include "platform/ui/list_view.h"

namespace mainwindow::testing {
namespace {

using Layout = MainFormTest;

TEST_F(Layout, WithoutTheFileTheWindowAndNewPagesGetTheDefaults) {
    TForm1& form = ShowForm();
    EXPECT_EQ(form.PageControl2->currentIndex(), 0);
    EXPECT_EQ(form.PageControl2->width(), 307);
    EXPECT_EQ(form.ListView1->Style(), ui::ViewStyle::kLargeIcons);
    EXPECT_EQ(form.LocalPane().ShownFolder(), os::HomeFolder());
    // Only the style: the view menu's mark and the cycle step stay.
    EXPECT_TRUE(form.MenuItem4->isChecked());
    EXPECT_EQ(form.FSiteViewStep, 4);
    AddSite("A");
    form.OpenSitePage("A", false);
    Tfb& frame = *form.FindFrame(1);
    EXPECT_EQ(frame.LogHeight(), 93);
    EXPECT_EQ(frame.QueueHeight(), 116);
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kReport);
}

TEST_F(Layout, StoredMainValuesAreAppliedAndOthersLeaveTheControls) {
    struct Case {
        const char* p2;
        const char* siteView;
        int tab;
        ui::ViewStyle style;
    };
    const Case cases[] = {
        {"2", "1", 2, ui::ViewStyle::kList},
        {"1", "2", 1, ui::ViewStyle::kSmallIcons},
        {"0", "3", 0, ui::ViewStyle::kReport},
        // Out of range: the tab and the list's style (report at creation) stay; no number: the
        // default tab.
        {"7", "9", 0, ui::ViewStyle::kReport},
        {"x", "-1", 0, ui::ViewStyle::kReport},
    };
    const std::string path = folder_ + "forminfo.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p2);
        os::WritePrivateProfileString("MAIN", "P2", c.p2, path);
        os::WritePrivateProfileString("MAIN", "PWIDTH", "400", path);
        os::WritePrivateProfileString("MAIN", "FTPSITEVIEW", c.siteView, path);
        TForm1& form = ShowForm();
        EXPECT_EQ(form.PageControl2->currentIndex(), c.tab);
        EXPECT_EQ(form.PageControl2->width(), 400);
        EXPECT_EQ(form.ListView1->Style(), c.style);
        form_.reset();
    }
}

TEST_F(Layout, PageViewCodesSetTheRemoteListsStyleOnly) {
    struct Case {
        const char* code;
        ui::ViewStyle style;
    };
    const Case cases[] = {{"0", ui::ViewStyle::kLargeIcons},
                          {"1", ui::ViewStyle::kList},
                          {"2", ui::ViewStyle::kSmallIcons},
                          {"3", ui::ViewStyle::kReport},
                          {"7", ui::ViewStyle::kReport}};  // the frame's own style stays
    const std::string path = folder_ + "forminfo.ini";
    TForm1& form = ShowForm();
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        os::WritePrivateProfileString("FTP", "LVCVIEW", c.code, path);
        os::WritePrivateProfileString("FTP", "INFO", "50", path);
        os::WritePrivateProfileString("FTP", "UPDOWN", "no", path);
        AddSite("site" + std::to_string(++number));
        form.OpenSitePage("site" + std::to_string(number), false);
        Tfb& frame = *form.FindFrame(number);
        EXPECT_EQ(frame.ListView2->Style(), c.style);
        EXPECT_EQ(frame.LogHeight(), 50);
        EXPECT_EQ(frame.QueueHeight(), 116);
    }
}

TEST_F(Layout, ClosingWritesTheMainValuesThatReadBackTheSame) {
    TForm1& form = ShowForm();
    form.PageControl2->setCurrentIndex(2);
    form.Splitter1->setSizes({350, 600});
    form.MenuItem2->trigger();  // list
    const std::string shown = folder_.substr(0, folder_.size() - 1);
    form.LocalPane().SetRoot(shown);
    form.close();
    EXPECT_EQ(LayoutValue("MAIN", "P2"), "2");
    EXPECT_EQ(LayoutValue("MAIN", "LOCALPATH"), shown);
    EXPECT_EQ(LayoutValue("MAIN", "PWIDTH"), "350");
    EXPECT_EQ(LayoutValue("MAIN", "FTPSITEVIEW"), "1");
    EXPECT_EQ(LayoutValue("MAIN", "WELCOMEH"), "0");
    form_.reset();
    TForm1& again = ShowForm();
    EXPECT_EQ(again.PageControl2->currentIndex(), 2);
    EXPECT_EQ(again.PageControl2->width(), 350);
    EXPECT_EQ(again.ListView1->Style(), ui::ViewStyle::kList);
    EXPECT_EQ(again.LocalPane().ShownFolder(), shown);
    // A folder that is gone is stored as "-1".
    ASSERT_TRUE(std::filesystem::create_directory(folder_ + "gone"));
    again.LocalPane().SetRoot(folder_ + "gone");
    std::filesystem::remove(folder_ + "gone");
    again.close();
    EXPECT_EQ(LayoutValue("MAIN", "LOCALPATH"), "-1");
}

}  // namespace
}  // namespace mainwindow::testing
