// What a person sees of a new page and reaches through assistive tools: the queue's pictures
// mean what its rows are, the sizes made for the design font follow the page's font, every
// control that can be acted on has an accessible name, and the page's specified members.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTreeView>

#include <cmath>
#include <string>

#include "connection/page_images.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"
#include "platform/ui/shell_type_name.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

QImage Picture(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage();
}

rupdown FolderDownload(const std::string& name) {
    rupdown entry;
    entry.direction = 1;
    entry.name = name;
    entry.lopath = "/home/u/" + name;
    entry.ftppath = "0";
    entry.isfolder = true;
    return entry;
}

// A failed row shows the log's error picture, a running row neither an arrow of the tool bar
// nor any other row's picture, and the name column a folder or a file as the remote list does.
TEST(PageLook, TheQueuePicturesSayWhatTheRowsAre) {
    using namespace page_images;
    EXPECT_EQ(Picture(QueueImage(1)), Picture(InfoImage(2)));
    EXPECT_EQ(Picture(QueueImage(3)), Picture(EntryImage(0)));
    EXPECT_EQ(Picture(QueueImage(4)), Picture(EntryImage(1)));
    const QImage running = Picture(QueueImage(0));
    EXPECT_FALSE(running.isNull());
    for (const QIcon& other :
         {QueueImage(1), QueueImage(3), QueueImage(4), ToolImage(0), ToolImage(8)})
        EXPECT_NE(running, Picture(other));

    connection_testing::QuietPageHost host;
    Tfb frame(host);
    frame.AddQueueEntry(FolderDownload("tree"));
    const QStandardItemModel& rows = *frame.QueueItems;
    EXPECT_TRUE(rows.item(0, 0)->icon().isNull());  // waiting
    EXPECT_EQ(Picture(rows.item(0, 1)->icon()), Picture(EntryImage(0)));
}

// The remote list's type column shows the type names of common files whole, at the desktop's
// font as at another.
TEST(PageLook, TheTypeColumnShowsCommonTypeNamesWhole) {
    for (const int pixels : {0, 19}) {
        SCOPED_TRACE(pixels);
        QWidget window;
        if (pixels > 0) {
            QFont font = window.font();
            font.setPixelSize(pixels);
            window.setFont(font);
        }
        connection_testing::QuietPageHost host;
        Tfb frame(host, &window);
        const QTreeView& remote = *frame.ListView2->ReportView();
        for (const char* name : {"notes.txt", "page.html", "paper.pdf", "photo.jpeg", "a.tar.gz"}) {
            const QString type = QString::fromStdString(ui::ShellTypeName(name));
            // The text and the cell's margins on both sides.
            EXPECT_GE(remote.columnWidth(2), remote.fontMetrics().horizontalAdvance(type) + 12)
                << name << ": " << type.toStdString();
        }
    }
}

// With a font twice the design's, the lists' columns are as wide as their characters need.
TEST(PageLook, ColumnWidthsFollowThePagesFont) {
    QWidget window;
    QFont large = window.font();
    large.setPixelSize(26);
    window.setFont(large);
    connection_testing::QuietPageHost host;
    Tfb frame(host, &window);
    // The design's 6 pixels are the average of the alphabet's letters.
    const auto scaled = [](const QWidget& list, int width) {
        const double perLetter = list.fontMetrics().horizontalAdvance(QStringLiteral(
                                     "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) /
                                 52.0;
        return static_cast<int>(std::lround(width * perLetter / 6.0));
    };
    const QTreeView& remote = *frame.ListView2->ReportView();
    ASSERT_GT(scaled(remote, 100), 150);
    // A date and time in the "Modified" column is shown whole.
    EXPECT_GE(remote.columnWidth(3),
              remote.fontMetrics().horizontalAdvance(QStringLiteral("2026-12-10 20:00:00")));
    EXPECT_EQ(remote.columnWidth(0), scaled(remote, 200));
    EXPECT_EQ(remote.columnWidth(1), scaled(remote, 100));
    EXPECT_EQ(remote.columnWidth(2), scaled(remote, 150));
    EXPECT_EQ(remote.columnWidth(3), scaled(remote, 120));
    EXPECT_EQ(remote.columnWidth(4), scaled(remote, 100));
    const QTreeView& queue = *frame.ListView1;
    EXPECT_EQ(queue.columnWidth(1), scaled(queue, 160));
    EXPECT_EQ(queue.columnWidth(3), scaled(queue, 150));
}

// Icon-only tool buttons are named by their hint; the bookmark button, which has none, by its
// default item.
TEST(PageLook, EveryButtonOfThePageHasAnAccessibleName) {
    connection_testing::QuietPageHost host;
    Tfb frame(host);
    frame.resize(1200, 700);
    frame.show();
    QApplication::processEvents();
    int buttons = 0;
    for (QAbstractButton* button : frame.findChildren<QAbstractButton*>()) {
        if (!button->isVisible())
            continue;
        ++buttons;
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(access, nullptr);
        EXPECT_FALSE(access->text(QAccessible::Name).isEmpty())
            << button->objectName().toStdString();
    }
    EXPECT_GE(buttons, 14);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(frame.ToolButton5)->text(QAccessible::Name),
              QStringLiteral("Download..."));
    EXPECT_EQ(frame.ToolButton10->accessibleName(), QStringLiteral("Add Bookmark"));
}

// The page's own names for the view items, the sort and its compares, and the permission
// texts, each doing what its collaborator does.
TEST(PageLook, ThePagesSpecifiedMembersDoTheirWork) {
    connection_testing::QuietPageHost host;
    Tfb frame(host);
    frame.List1Click();
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kList);
    frame.LargeIcon1Click();
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kLargeIcons);
    frame.Smallicon1Click();
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kSmallIcons);
    frame.List2->trigger();  // the drop-down's item runs the same handler
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kList);
    frame.Report1Click();
    EXPECT_EQ(frame.ListView2->Style(), ui::ViewStyle::kReport);

    rdatalist small;
    small.name = "b";
    small.size = 1;
    rdatalist large;
    large.name = "A";
    large.size = 9;
    EXPECT_LT(Tfb::CompareByName(large, small), 0);
    EXPECT_LT(Tfb::CompareBySize(small, large), 0);
    EXPECT_EQ(Tfb::CompareByType(small, large), 0);
    EXPECT_EQ(Tfb::CompareByDate(small, large), 0);
    EXPECT_EQ(Tfb::CompareByAttributes(small, large), 0);
    // Each of the three reads its own key: entries that differ in that field only.
    struct KeyCase {
        std::string rdatalist::*field;
        const char* value;
        int (*own)(const rdatalist&, const rdatalist&);
    };
    const KeyCase keyCases[] = {{&rdatalist::shelltype, "Z", Tfb::CompareByType},
                                {&rdatalist::modified, "2026-12-10 20:00:00", Tfb::CompareByDate},
                                {&rdatalist::attr, "drwx", Tfb::CompareByAttributes}};
    for (const KeyCase& key : keyCases) {
        SCOPED_TRACE(key.value);
        rdatalist changed = small;
        changed.*key.field = key.value;
        for (const KeyCase& other : keyCases) {
            if (other.own == key.own)
                EXPECT_LT(other.own(small, changed), 0);
            else
                EXPECT_EQ(other.own(small, changed), 0);
        }
    }
    frame.FDisplayList = {large, small};
    frame.FSortColumn = 1;
    frame.SortDisplayList();
    EXPECT_EQ(frame.FDisplayList.front().name, "b");

    EXPECT_EQ(Tfb::ShowOwnerPermissions("-rW"), (PermissionTextBoxes{true, true, false}));
    EXPECT_EQ(Tfb::ShowGroupPermissions("r-x"), (PermissionTextBoxes{true, false, true}));
    EXPECT_EQ(Tfb::ShowOtherPermissions("x"), (PermissionTextBoxes{false, false, false}));
    EXPECT_EQ(frame.exportpop->defaultAction(), frame.Exportfull1);
}

}  // namespace
