#include "platform/ui/shell_list_view.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os/mount_points.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view_test_support.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/shell_list_view_wait.h"

namespace ui {
namespace {

class ShellListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"beta", "Alpha", ".hidden-folder"})
            std::filesystem::create_directory(folder_ + "/" + name);
        for (const char* name : {"zeta.txt", "a.txt", ".profile"})
            std::ofstream(folder_ + "/" + name) << "12345";
        view_ = std::make_unique<ShellListView>();
        view_->resize(500, 400);
        view_->show();
    }

    void TearDown() override {
        view_.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Show(const std::string& path) {
        view_->SetRoot(path);
        ASSERT_TRUE(testing::WaitUntilLoaded(*view_));
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int item = 0; item < view_->ItemCount(); ++item)
            names.push_back(std::filesystem::path(view_->ItemPath(item)).filename().string());
        return names;
    }

    os::testing::TempFolder temp_{"shell"};
    std::string folder_ = temp_.path();
    std::unique_ptr<ShellListView> view_;
};

TEST_F(ShellListViewTest, StartsAtHomeAndListsFoldersFirstWithHiddenItemsSorted) {
    EXPECT_EQ(view_->Root(), os::HomeFolder());
    EXPECT_EQ(view_->Style(), ViewStyle::kReport);
    EXPECT_TRUE(view_->MultiSelect());
    Show(folder_);
    EXPECT_EQ(view_->Root(), folder_);
    const std::vector<std::string> expected = {".hidden-folder", "Alpha", "beta",
                                               ".profile",       "a.txt", "zeta.txt"};
    EXPECT_EQ(Names(), expected);
    for (int item = 0; item < view_->ItemCount(); ++item) {
        SCOPED_TRACE(item);
        EXPECT_EQ(view_->IsFolder(item), item < 3);
        EXPECT_EQ(view_->ItemPath(item), folder_ + "/" + expected[static_cast<size_t>(item)]);
        EXPECT_EQ(view_->ItemSize(item), item < 3 ? 0 : 5);
    }
    EXPECT_FALSE(view_->IsFolder(6));
    EXPECT_EQ(view_->ItemPath(-1), "");
}

TEST_F(ShellListViewTest, SizesAboveFourGigabytesAreWhole) {
    const std::string big = folder_ + "/big.bin";
    const int file = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    constexpr std::int64_t kSize = 5LL * 1024 * 1024 * 1024 + 3;
    ASSERT_EQ(::ftruncate(file, kSize), 0);  // sparse: takes no room
    ::close(file);
    Show(folder_);
    const std::vector<std::string> names = Names();
    const auto at = std::find(names.begin(), names.end(), "big.bin");
    ASSERT_NE(at, names.end());
    EXPECT_EQ(view_->ItemSize(static_cast<int>(at - names.begin())), kSize);
}

TEST_F(ShellListViewTest, AFolderThatCannotBeOpenedIsRefusedAndTheShownOneStays) {
    Show(folder_);
    for (const std::string& path : {folder_ + "/missing", folder_ + "/a.txt", std::string()}) {
        SCOPED_TRACE(path);
        try {
            view_->SetRoot(path);
            ADD_FAILURE() << "no error";
        } catch (const EShellPathError& error) {
            EXPECT_EQ(std::string(error.what()), "Error setting path: \"" + path + "\"");
        }
        EXPECT_EQ(view_->Root(), folder_);
        EXPECT_EQ(view_->ItemCount(), 6);
    }
}

TEST_F(ShellListViewTest, PathsAreCleanedAndRelativeOnesStartAtTheShownFolder) {
    Show(folder_ + "/beta/");
    EXPECT_EQ(view_->Root(), folder_ + "/beta");
    Show("../Alpha");
    EXPECT_EQ(view_->Root(), folder_ + "/Alpha");
    Show("/");
    EXPECT_EQ(view_->Root(), "/");
}

TEST_F(ShellListViewTest, RefreshShowsWhatChangedAndClearsTheSelection) {
    Show(folder_);
    view_->SelectRows({0, 4});
    EXPECT_EQ(view_->SelectedItems(), (std::vector<int>{0, 4}));
    std::ofstream(folder_ + "/b.txt") << "x";
    view_->Refresh();
    ASSERT_TRUE(testing::WaitUntilLoaded(*view_));
    EXPECT_EQ(Names(), (std::vector<std::string>{".hidden-folder", "Alpha", "beta", ".profile",
                                                 "a.txt", "b.txt", "zeta.txt"}));
    EXPECT_TRUE(view_->SelectedItems().empty());
}

TEST_F(ShellListViewTest, ACaptionEditedInPlaceRenamesTheFile) {
    Show(folder_);
    std::string error;
    ScopedApplicationErrorHandler errors(
        [&](std::exception_ptr failure) { error = ErrorText(failure); });
    view_->OnEdited = [](int, std::string& caption) {
        if (caption.find('/') != std::string::npos)
            throw std::runtime_error("refused");
    };
    EditCaptionInPlace(*view_, 4, QStringLiteral("renamed.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/renamed.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/a.txt"));
    EditCaptionInPlace(*view_, 3, QStringLiteral("x/y"));
    EXPECT_EQ(error, "refused");
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/.profile"));
}

TEST_F(ShellListViewTest, TheItemAtAPointIsTheRowDrawnThere) {
    Show(folder_);
    QAbstractItemView* view = view_->CurrentView();
    for (int item : {0, 5}) {
        const QRect rect = view->visualRect(view_->RowIndex(item));
        EXPECT_EQ(view_->ItemAt(rect.center()), item);
    }
    EXPECT_EQ(view_->ItemAt(QPoint(5, view->viewport()->height() - 2)), -1);
}

}  // namespace
}  // namespace ui
