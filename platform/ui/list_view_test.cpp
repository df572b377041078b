#include "platform/ui/list_view.h"

#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/handler_guard.h"
#include "platform/ui/list_rows_mime.h"
#include "platform/ui/list_view_test_support.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace ui {
namespace {

class ListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* caption : {"one", "two", "three"})
            model_.appendRow(new QStandardItem(QString::fromLatin1(caption)));
        list_.SetModel(&model_);
        list_.resize(400, 300);
        list_.show();
    }

    void Edit(int row, const QString& text) { EditCaptionInPlace(list_, row, text); }

    QString Caption(int row) const { return model_.item(row)->text(); }

    QStandardItemModel model_;
    ListView list_;
};

TEST_F(ListViewTest, EveryStyleShowsOneSelection) {
    int changes = 0;
    list_.OnSelectItem = [&] { ++changes; };
    list_.Select(1);
    const ViewStyle styles[] = {ViewStyle::kLargeIcons, ViewStyle::kSmallIcons, ViewStyle::kList,
                                ViewStyle::kReport};
    for (ViewStyle style : styles) {
        list_.SetStyle(style);
        EXPECT_EQ(list_.Style(), style);
        EXPECT_EQ(list_.Selected(), 1);
        EXPECT_TRUE(list_.CurrentView()->isVisible());
        EXPECT_TRUE(list_.CurrentView()->selectionModel()->isRowSelected(1, QModelIndex()));
    }
    list_.Select(-1);
    EXPECT_EQ(list_.Selected(), -1);
    list_.Select(7);  // no such row: nothing selected
    EXPECT_EQ(list_.Selected(), -1);
    EXPECT_EQ(changes, 2);
}

TEST(ListViewRoot, TheRowsAreTheChildrenOfTheRootIndex) {
    QStandardItemModel model;
    auto* folder = new QStandardItem(QStringLiteral("folder"));
    for (const char* caption : {"a", "b", "c", "d"})
        folder->appendRow(new QStandardItem(QString::fromLatin1(caption)));
    model.appendRow(folder);
    model.appendRow(new QStandardItem(QStringLiteral("top")));
    ListView list;
    list.SetModel(&model);
    list.SetMultiSelect(true);
    list.resize(400, 300);
    list.show();
    EXPECT_EQ(list.RowCount(), 2);
    list.Select(1);
    list.SetRootIndex(folder->index());
    EXPECT_EQ(list.Selected(), -1);  // a new root clears the selection
    EXPECT_EQ(list.RowCount(), 4);
    EXPECT_EQ(list.RowIndex(3).data().toString(), QStringLiteral("d"));
    EXPECT_FALSE(list.RowIndex(4).isValid());
    list.SelectRows({3, 1, 9});
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 3}));
    list.Select(2);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{2}));
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kList}) {
        list.SetStyle(style);
        QApplication::processEvents();
        const QRect rect = list.CurrentView()->visualRect(list.RowIndex(2));
        EXPECT_EQ(list.RowAt(rect.center()), 2);
    }
    const std::unique_ptr<QMimeData> data = list.DragData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(list.DraggedRows(*data), (std::vector<int>{2}));
    EditCaptionInPlace(list, 0, QStringLiteral("A"));
    EXPECT_EQ(folder->child(0)->text(), QStringLiteral("A"));
    EXPECT_EQ(model.item(0)->text(), QStringLiteral("folder"));
    list.SetRootIndex(QModelIndex());
    EXPECT_EQ(list.RowCount(), 2);
}

TEST_F(ListViewTest, EditedCaptionGoesThroughTheHandlerWhichMayChangeOrRefuseIt) {
    std::string lastError;
    ScopedApplicationErrorHandler errors(
        [&](std::exception_ptr error) { lastError = ErrorText(error); });
    list_.OnEdited = [](int row, std::string& caption) {
        if (caption == "refused")
            throw std::runtime_error("no");
        if (row == 2)
            caption += "!";
    };
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kLargeIcons}) {
        list_.SetStyle(style);
        Edit(0, QStringLiteral("first"));
        EXPECT_EQ(Caption(0), QStringLiteral("first"));
        Edit(2, QStringLiteral("third"));
        EXPECT_EQ(Caption(2), QStringLiteral("third!"));
        Edit(1, QStringLiteral("refused"));
        EXPECT_EQ(Caption(1), QStringLiteral("two"));
        EXPECT_EQ(lastError, "no");
    }
}

// With a byte limit the in-place editor takes no more than the column the caption is stored
// in, in every style; without one it takes any length.
TEST_F(ListViewTest, TheCaptionEditorKeepsToItsByteLimit) {
    auto pasteInto = [&](int row, const QString& text) {
        list_.EditCaption(row);
        auto* editor = list_.CurrentView()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        editor->insert(text);
        emit list_.CurrentView()->itemDelegate()->commitData(editor);
        emit list_.CurrentView()->itemDelegate()->closeEditor(
            editor, QAbstractItemDelegate::SubmitModelCache);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    const QString e(QChar(0xE9));  // two bytes in UTF-8
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kLargeIcons}) {
        list_.SetStyle(style);
        list_.SetCaptionByteLimit(5);
        pasteInto(0, "ab" + e + e + "c");
        EXPECT_EQ(Caption(0), "ab" + e);
        list_.SetCaptionByteLimit(std::nullopt);
        pasteInto(1, "ab" + e + e + "c");
        EXPECT_EQ(Caption(1), "ab" + e + e + "c");
    }
}

TEST_F(ListViewTest, ViewEventsHandDragsToTheHandlersAndDropsNeverToTheModel) {
    std::vector<int> dropped;
    list_.OnDragOver = [](const ListDrag& drag) {
        EXPECT_EQ(drag.source, nullptr);  // no drag of this program is running
        return drag.data->hasFormat(QStringLiteral("text/uri-list"));
    };
    list_.OnDragDrop = [&](const ListDrag& drag) { dropped.push_back(drag.row); };
    // The standard model would take its own payload as new rows if the drop reached it.
    std::unique_ptr<QMimeData> rowsOfTheModel(model_.mimeData({model_.index(0, 0)}));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kSmallIcons}) {
        list_.SetStyle(style);
        QAbstractItemView* view = list_.CurrentView();
        const QPoint onRow1 = view->visualRect(model_.index(1, 0)).center();
        const struct {
            const QMimeData* data;
            bool accepted;
        } cases[] = {{&files, true}, {rowsOfTheModel.get(), false}};
        for (const auto& c : cases) {
            QDragEnterEvent enter(onRow1, Qt::CopyAction | Qt::MoveAction, c.data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &enter);
            EXPECT_TRUE(enter.isAccepted()) << "an ignored enter would stop all moves";
            QDragMoveEvent move(onRow1, Qt::CopyAction | Qt::MoveAction, c.data, Qt::LeftButton,
                                Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &move);
            EXPECT_EQ(move.isAccepted(), c.accepted);
            QDropEvent drop(onRow1, Qt::CopyAction | Qt::MoveAction, c.data, Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &drop);
            EXPECT_EQ(drop.isAccepted(), c.accepted);
            if (c.accepted) {
                EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
            }
        }
        // Taken by the model, the drop on row 1 would have become a child row of it.
        EXPECT_EQ(model_.rowCount(), 3);
        EXPECT_FALSE(model_.item(1)->hasChildren());
    }
    EXPECT_EQ(dropped, (std::vector<int>{1, 1}));

    // Without a drag-over handler the list takes no drag at all.
    list_.OnDragOver = nullptr;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list_.CurrentView()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

// A shown list in the shape of a page's remote list: an owner-data model with five columns
// whose captions the test keeps, several rows selectable.
class OwnerDataListTest : public ::testing::Test {
  protected:
    void SetUp() override { Build(&list_, &model_, 8); }

    void Build(ListView* list, OwnerDataModel* model, int rows) {
        captions_.clear();
        for (int row = 0; row < rows; ++row)
            captions_.push_back("file" + std::to_string(row));
        model->SetColumns({"Name", "Size", "Type", "Modified", "Attrib"});
        model->SetDataCallback([this](int row, OwnerDataItem& item) {
            if (row < static_cast<int>(captions_.size()))
                item.caption = captions_[static_cast<size_t>(row)];
            item.subItems = {"1KB", "Text", "2026-01-01 00:00:00", "-rw-r--r--"};
        });
        model->SetRowCount(rows);
        list->SetModel(model);
        list->SetMultiSelect(true);
        list->SetRowsDraggable(true);
        list->resize(500, 400);
        list->show();
    }

    QPoint RowPoint(int row) const {
        return list_.CurrentView()->visualRect(model_.index(row, 0)).center();
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(list_.CurrentView()->viewport(), Qt::LeftButton, modifiers,
                          RowPoint(row));
    }

    void ClickHeader(int column) {
        QHeaderView* header = list_.ReportView()->header();
        const QPoint point(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    }

    // A point of the view below the last row.
    QPoint EmptySpace() const {
        QWidget* viewport = list_.CurrentView()->viewport();
        return QPoint(viewport->width() - 5, viewport->height() - 5);
    }

    std::unique_ptr<QMimeData> Payload(const std::vector<int>& rows) {
        list_.SelectRows(rows);
        return list_.DragData();
    }

    std::vector<std::string> captions_;
    OwnerDataModel model_;
    ListView list_;
};

TEST_F(OwnerDataListTest, ClicksSelectAsInADesktopList) {
    using Clicks = std::vector<std::pair<int, Qt::KeyboardModifiers>>;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const struct {
        const char* name;
        bool multi;
        Clicks clicks;
        std::vector<int> selected;
    } cases[] = {
        {"a click selects one row", true, {{2, none}}, {2}},
        {"a second click replaces it", true, {{1, none}, {4, none}}, {4}},
        {"shift extends downwards", true, {{1, none}, {3, Qt::ShiftModifier}}, {1, 2, 3}},
        {"shift extends upwards", true, {{5, none}, {2, Qt::ShiftModifier}}, {2, 3, 4, 5}},
        {"ctrl toggles rows",
         true,
         {{1, none}, {3, Qt::ControlModifier}, {6, Qt::ControlModifier}, {3, Qt::ControlModifier}},
         {1, 6}},
        {"single: shift selects only the clicked row",
         false,
         {{1, none}, {3, Qt::ShiftModifier}},
         {3}},
        {"single: ctrl selects only the clicked row",
         false,
         {{1, none}, {3, Qt::ControlModifier}},
         {3}},
    };
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kList}) {
        list_.SetStyle(style);
        for (const auto& c : cases) {
            list_.SetMultiSelect(c.multi);
            list_.Select(-1);
            for (const auto& [row, modifiers] : c.clicks)
                Click(row, modifiers);
            EXPECT_EQ(list_.SelectedRows(), c.selected) << c.name;
            EXPECT_EQ(list_.Selected(), c.selected.front()) << c.name;
        }
    }
}

TEST_F(OwnerDataListTest, SelectedRowsComeInRowOrderEvenForAHundredThousand) {
    Build(&list_, &model_, 100000);
    int changes = 0;
    list_.OnSelectItem = [&] { ++changes; };
    list_.SelectRows({99999, 7, 2, 7, -1, 100000, 3});
    EXPECT_EQ(list_.SelectedRows(), (std::vector<int>{2, 3, 7, 99999}));
    EXPECT_EQ(list_.Selected(), 2);
    EXPECT_EQ(list_.CurrentView()->currentIndex().row(), 2);
    EXPECT_EQ(changes, 1) << "one selection change for the whole set";

    // Rows picked in reverse order still come back in row order.
    list_.Select(-1);
    Click(5);
    Click(1, Qt::ControlModifier);
    Click(3, Qt::ControlModifier);
    EXPECT_EQ(list_.SelectedRows(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(list_.Selected(), 1);

    const long long asked = model_.Requests();
    QTest::keyClick(list_.CurrentView(), Qt::Key_A, Qt::ControlModifier);
    const std::vector<int> all = list_.SelectedRows();
    ASSERT_EQ(all.size(), 100000u);
    EXPECT_EQ(all.front(), 0);
    EXPECT_EQ(all.back(), 99999);
    EXPECT_LT(model_.Requests() - asked, 1000) << "selecting asked the owner for the rows";

    // Back to single selection: only the first row stays selected.
    list_.SetMultiSelect(false);
    EXPECT_EQ(list_.SelectedRows(), (std::vector<int>{0}));
    list_.SelectRows({});
    EXPECT_EQ(list_.Selected(), -1);
}

TEST_F(OwnerDataListTest, HeaderClicksGiveTheColumn) {
    std::vector<int> clicked;
    list_.OnColumnClick = [&](int column) { clicked.push_back(column); };
    for (int column : {2, 0, 4, 1, 3, 2})
        ClickHeader(column);
    EXPECT_EQ(clicked, (std::vector<int>{2, 0, 4, 1, 3, 2}));
    EXPECT_EQ(model_.RowCount(), 8);
    EXPECT_EQ(model_.Item(0).caption, "file0") << "the list never sorts itself";
}

TEST_F(OwnerDataListTest, DoubleClicksCountOnRowsAndOnEmptySpace) {
    int clicks = 0;
    list_.OnDblClick = [&] { ++clicks; };
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kLargeIcons}) {
        list_.SetStyle(style);
        clicks = 0;
        QTest::mouseDClick(list_.CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                           RowPoint(3));
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(list_.SelectedRows(), (std::vector<int>{3}));
        QTest::mouseDClick(list_.CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                           EmptySpace());
        EXPECT_EQ(clicks, 2);
    }
    // A page that has listed nothing yet takes a double click too.
    model_.SetRowCount(0);
    clicks = 0;
    QTest::mouseDClick(list_.CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
}

TEST_F(OwnerDataListTest, AnEditedCaptionStartsFromTheRowAndShowsWhatTheOwnerMadeOfIt) {
    std::string editorText;
    list_.OnEdited = [&](int row, std::string& caption) {
        editorText = caption;
        captions_[static_cast<size_t>(row)] = caption + ".bak";
    };
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kSmallIcons}) {
        list_.SetStyle(style);
        EXPECT_EQ(model_.data(model_.index(2, 0)).toString(), "file2");  // the row is kept now
        list_.EditCaption(2);
        auto* editor = list_.CurrentView()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QStringLiteral("file2"));
        editor->setText(QStringLiteral("renamed"));
        emit list_.CurrentView()->itemDelegate()->commitData(editor);
        emit list_.CurrentView()->itemDelegate()->closeEditor(editor);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(editorText, "renamed");
        EXPECT_EQ(model_.data(model_.index(2, 0)).toString(), "renamed.bak");
        captions_[2] = "file2";
        model_.Invalidate();
    }
}

TEST_F(OwnerDataListTest, DetachedHandlersLeaveTheListDeafUntilAttachedAgain) {
    std::vector<std::string> seen;
    list_.OnEdited = [&](int, std::string&) { seen.push_back("edited"); };
    list_.OnSelectItem = [&] { seen.push_back("select"); };
    list_.OnDblClick = [&] { seen.push_back("dblclick"); };
    list_.OnColumnClick = [&](int) { seen.push_back("column"); };
    list_.OnDragOver = [&](const ListDrag&) {
        seen.push_back("dragover");
        return true;
    };
    list_.OnDragDrop = [&](const ListDrag&) { seen.push_back("drop"); };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    auto everything = [&] {
        list_.Select(-1);
        seen.clear();
        Click(1);
        QTest::mouseDClick(list_.CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                           EmptySpace());
        ClickHeader(3);
        EditCaptionInPlace(list_, 0, QStringLiteral("new"));
        list_.Drop(nullptr, files, RowPoint(2));
        return seen;
    };
    const std::vector<std::string> attached = everything();
    EXPECT_EQ(attached, (std::vector<std::string>{"select", "dblclick", "column", "edited",
                                                  "dragover", "drop"}));

    ListViewHandlers handlers = list_.Detach();
    EXPECT_TRUE(everything().empty());
    EXPECT_TRUE(handlers.OnEdited && handlers.OnSelectItem && handlers.OnDblClick &&
                handlers.OnColumnClick && handlers.OnDragOver && handlers.OnDragDrop);
    const ListViewHandlers twice = list_.Detach();
    EXPECT_FALSE(twice.OnEdited || twice.OnSelectItem || twice.OnDblClick || twice.OnColumnClick ||
                 twice.OnDragOver || twice.OnDragDrop);

    list_.Attach(std::move(handlers));
    EXPECT_EQ(everything(), attached);
}

// A page's handlers switch the list's handlers off and on while they run; the running handler
// must survive that, captures and all (the sanitizer sees a use of a freed closure).
TEST_F(OwnerDataListTest, AHandlerMayDetachTheListWhileItRuns) {
    std::vector<std::string> seen;
    // Too big for the small-object buffer: the closure lives on the heap.
    auto detaching = [&](const char* name) {
        return [this, &seen, name = std::string(name) + std::string(64, '.')] {
            list_.Detach();
            seen.push_back(name.substr(0, name.find('.')));
        };
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    const struct {
        const char* name;
        std::function<void()> install;
        std::function<void()> trigger;
    } cases[] = {
        {"select", [&] { list_.OnSelectItem = detaching("select"); }, [&] { Click(4); }},
        {"dblclick", [&] { list_.OnDblClick = detaching("dblclick"); },
         [&] {
             QTest::mouseDClick(list_.CurrentView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                                RowPoint(1));
         }},
        {"column", [&] { list_.OnColumnClick = [run = detaching("column")](int) { run(); }; },
         [&] { ClickHeader(1); }},
        {"edited",
         [&] { list_.OnEdited = [run = detaching("edited")](int, std::string&) { run(); }; },
         [&] { EditCaptionInPlace(list_, 2, QStringLiteral("x")); }},
        {"dragover",
         [&] {
             list_.OnDragOver = [run = detaching("dragover")](const ListDrag&) {
                 run();
                 return true;
             };
         },
         [&] { list_.DragOver(nullptr, files, RowPoint(0)); }},
        {"drop",
         [&] {
             list_.OnDragOver = [](const ListDrag&) { return true; };
             list_.OnDragDrop = [run = detaching("drop")](const ListDrag&) { run(); };
         },
         [&] { list_.Drop(nullptr, files, RowPoint(0)); }},
    };
    for (const auto& c : cases) {
        list_.Detach();
        list_.Select(-1);
        seen.clear();
        c.install();
        c.trigger();
        EXPECT_EQ(seen, std::vector<std::string>{c.name});
    }
}

TEST_F(OwnerDataListTest, ADragCarriesTheSelectedRowsOfThisListOnly) {
    EXPECT_EQ(list_.DragData(), nullptr) << "nothing selected, nothing to drag";
    for (ViewStyle style :
         {ViewStyle::kLargeIcons, ViewStyle::kSmallIcons, ViewStyle::kList, ViewStyle::kReport}) {
        list_.SetStyle(style);
        EXPECT_TRUE(list_.CurrentView()->dragEnabled());
        EXPECT_TRUE(list_.CurrentView()->viewport()->acceptDrops());
    }
    const std::unique_ptr<QMimeData> data = Payload({6, 1, 4});
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(list_.DraggedRows(*data), (std::vector<int>{1, 4, 6}));

    OwnerDataModel otherModel;
    ListView other;
    Build(&other, &otherModel, 8);
    EXPECT_EQ(other.DraggedRows(*data), std::nullopt) << "rows of another list";
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    EXPECT_EQ(list_.DraggedRows(files), std::nullopt);

    // Payloads as another program, another instance or a damaged drag may bring them.
    const std::optional<ListRows> own = ReadListRows(*data);
    ASSERT_TRUE(own.has_value());
    const std::string self = std::to_string(own->process) + " " + std::to_string(own->list) + " ";
    const struct {
        std::string payload;
        std::optional<std::vector<int>> rows;
    } cases[] = {
        {self + "0 7", std::vector<int>{0, 7}},
        {self + "3", std::vector<int>{3}},
        {self + "8", std::nullopt},    // no such row
        {self + "4 2", std::nullopt},  // not ascending
        {self + "2 2", std::nullopt},  // a row twice
        {self + "-1", std::nullopt},
        {self + "1x", std::nullopt},
        {self + "1  2", std::nullopt},
        {self + "99999999999999999999", std::nullopt},
        {std::to_string(own->process + 1) + " " + std::to_string(own->list) + " 1",
         std::nullopt},  // the same list number in another process
        {"", std::nullopt},
        {"garbage", std::nullopt},
    };
    for (const auto& c : cases) {
        QMimeData payload;
        payload.setData(QString::fromLatin1(kListRowsMimeType),
                        QByteArray::fromStdString(c.payload));
        EXPECT_EQ(list_.DraggedRows(payload), c.rows) << c.payload;
    }
}

TEST_F(OwnerDataListTest, DragOverAndDropSeeTheSourceListAndTheRowUnderThePoint) {
    OwnerDataModel otherModel;
    ListView other;
    Build(&other, &otherModel, 3);
    QWidget stranger;
    std::vector<std::pair<QObject*, int>> over;
    std::vector<int> dropped;
    list_.OnDragOver = [&](const ListDrag& drag) {
        over.emplace_back(drag.source, drag.row);
        return drag.source == &other;
    };
    list_.OnDragDrop = [&](const ListDrag& drag) {
        EXPECT_EQ(other.DraggedRows(*drag.data), (std::vector<int>{0, 2}));
        dropped.push_back(drag.row);
    };
    other.SelectRows({0, 2});
    const std::unique_ptr<QMimeData> data = other.DragData();
    ASSERT_NE(data, nullptr);
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kLargeIcons}) {
        list_.SetStyle(style);
        other.SetStyle(style);
        const struct {
            QObject* source;  // as the drag reports it
            QObject* seen;    // as the handler sees it
            bool accepted;
        } sources[] = {
            {other.CurrentView(), &other, true},
            {other.CurrentView()->viewport(), &other, true},
            {&other, &other, true},
            {&stranger, &stranger, false},
            {nullptr, nullptr, false},
        };
        for (const auto& s : sources) {
            over.clear();
            dropped.clear();
            EXPECT_EQ(list_.DragOver(s.source, *data, RowPoint(5)), s.accepted);
            EXPECT_EQ(list_.Drop(s.source, *data, EmptySpace()), s.accepted);
            EXPECT_EQ(over, (std::vector<std::pair<QObject*, int>>{{s.seen, 5}, {s.seen, -1}}));
            EXPECT_EQ(dropped, s.accepted ? std::vector<int>{-1} : std::vector<int>{});
        }
        dropped.clear();
        EXPECT_TRUE(list_.Drop(other.CurrentView(), *data, RowPoint(7)));
        EXPECT_EQ(dropped, std::vector<int>{7});
    }
    EXPECT_EQ(ListView::FromWidget(&stranger), nullptr);
    EXPECT_EQ(ListView::FromWidget(other.ReportView()->viewport()), &other);

    // A handler that throws refuses the drag; the error goes to the application handler.
    std::string error;
    ScopedApplicationErrorHandler errors([&](std::exception_ptr e) { error = ErrorText(e); });
    list_.OnDragOver = [](const ListDrag&) -> bool { throw std::runtime_error("busy"); };
    dropped.clear();
    EXPECT_FALSE(list_.Drop(&other, *data, RowPoint(1)));
    EXPECT_TRUE(dropped.empty());
    EXPECT_EQ(error, "busy");
}

}  // namespace
}  // namespace ui
