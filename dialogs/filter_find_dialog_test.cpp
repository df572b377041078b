#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/find_dialog.h"
#include "dialogs/remote_list_rules.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "shared/list_file.h"

namespace dialogs::testing {
namespace {

using ui::ClickButton;

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A page of the main window's active tab, shown so that its list can scroll, and the two
// dialogs run on it inside their modal loops.
class RemoteListDialogs : public DialogsTest {
  protected:
    void SetUp() override {
        DialogsTest::SetUp();
        page_ = std::make_unique<Tfb>(pageHost_);
        page_->resize(640, 480);
        page_->show();
        host_.pages = {page_.get()};
    }
    void TearDown() override {
        host_.pages.clear();
        page_.reset();
        DialogsTest::TearDown();
    }

    // Files (with a size) and folders (names ending in "/", shown without it).
    void ShowEntries(const std::vector<std::string>& names) {
        page_->ClearRemoteLists();
        for (const std::string& name : names) {
            const bool folder = !name.empty() && name.back() == '/';
            page_->AddDisplayEntry(folder ? name.substr(0, name.size() - 1) : name,
                                   folder ? "Folder" : "", folder ? "" : "100",
                                   "2026-01-02 03:04:00", "u", "g", "rw-", "r--", "r--");
        }
        page_->RemoteItems->SetRowCount(static_cast<int>(page_->FDisplayList.size()));
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const rdatalist& entry : page_->FDisplayList)
            names.push_back(entry.name);
        return names;
    }

    std::vector<std::string> SelectedNames() const {
        std::vector<std::string> names;
        for (int row : page_->ListView2->SelectedRows())
            names.push_back(page_->FDisplayList[static_cast<std::size_t>(row)].name);
        return names;
    }

    // Types `text` into the dialog's combo box and presses its default button.
    template <class Form>
    int Run(const std::string& text, const std::function<void(Form&)>& more = nullptr) {
        driver_.Next([&](QDialog& dialog) {
            auto& form = static_cast<Form&>(dialog);
            if (more)
                more(form);
            form.ComboBox1->setEditText(QString::fromStdString(text));
            ClickButton(form, "Button2");
        });
        Form form(host_, History<Form>());
        return form.exec();
    }
    int Filter(const std::string& pattern) { return Run<TForm6>(pattern); }
    int Find(const std::string& text, bool caseSensitive, bool wholeName) {
        return Run<TForm3>(text, [&](TForm3& form) {
            form.CheckBox1->setChecked(caseSensitive);
            form.CheckBox2->setChecked(wholeName);
        });
    }

    template <class Form>
    std::string History() const {
        return folder_ + (std::is_same_v<Form, TForm6> ? "Filter.dat" : "Find.dat");
    }

    connection_testing::QuietPageHost pageHost_;
    std::unique_ptr<Tfb> page_;
};

TEST(RemoteListRules, TheExtensionRunsFromTheLastDotUnlessABackslashOrColonFollowsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.txt", ".txt"}, {"a.tar.gz", ".gz"}, {"README", ""}, {".bashrc", ".bashrc"},
        {"name.", "."},    {"a.b\\c", ""},      {"a.b:c", ""},  {"c:d.e", ".e"},
    };
    for (const auto& [name, extension] : cases)
        EXPECT_EQ(FileExtension(name), extension) << name;
}

// The filter keeps folders and the files whose "*" + extension is the pattern as typed; "*.*"
// takes nothing out but still joins the history; the selection is gone afterwards.
TEST_F(RemoteListDialogs, FilterTakesOutTheFilesOfOtherExtensions) {
    struct Case {
        const char* pattern;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"*.txt", {"a.txt", "docs"}},
        {"*.TXT", {"b.TXT", "docs"}},
        {"*", {"c", "docs"}},
        {"*.*", {"a.txt", "b.TXT", "c", "docs"}},
        {"txt", {"docs"}},  // text, not a wildcard: no file's "*" + extension is "txt"
    };
    for (const Case& c : cases) {
        ShowEntries({"a.txt", "b.TXT", "c", "docs/"});
        page_->ListView2->SelectRows({0, 1, 2, 3});
        EXPECT_EQ(Filter(c.pattern), ui::mrOk) << c.pattern;
        EXPECT_EQ(Names(), c.left) << c.pattern;
        EXPECT_EQ(page_->ListView2->RowCount(), static_cast<int>(c.left.size())) << c.pattern;
        if (std::string(c.pattern) != "*.*") {
            EXPECT_TRUE(page_->ListView2->SelectedRows().empty()) << c.pattern;
        }
    }
    EXPECT_EQ(shared::ReadListFile(folder_ + "Filter.dat"),
              (std::vector<std::string>{"*.txt", "*.TXT", "*", "*.*", "txt"}));
    EXPECT_TRUE(ui_.Calls().empty());
}

// Return in the box, as a person enters a text, beside a history item that differs only in
// case: the text as typed is what filters and finds, and it joins the history beside the item.
TEST_F(RemoteListDialogs, ReturnUsesTheTextAsTypedBesideAnItemOfAnotherCase) {
    auto enter = [&](auto* tag, const std::string& stored, const char* typed) {
        using Form = std::remove_pointer_t<decltype(tag)>;
        shared::WriteListFile(History<Form>(), {stored});
        driver_.Next([&](QDialog& dialog) {
            auto& form = static_cast<Form&>(dialog);
            if constexpr (std::is_same_v<Form, TForm3>)
                form.CheckBox1->setChecked(true);  // case sensitive
            QLineEdit& edit = *form.ComboBox1->lineEdit();
            edit.setFocus();
            QTest::keyClicks(&edit, QString::fromLatin1(typed));
            QTest::keyClick(&edit, Qt::Key_Return);
        });
        Form form(host_, History<Form>());
        EXPECT_EQ(form.exec(), ui::mrOk) << typed;
        EXPECT_EQ(shared::ReadListFile(History<Form>()), (std::vector<std::string>{stored, typed}));
    };
    ShowEntries({"a.txt", "b.TXT", "docs/"});
    enter(static_cast<TForm6*>(nullptr), "*.txt", "*.TXT");
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.TXT", "docs"}));
    ShowEntries({"readme", "README", "other"});
    enter(static_cast<TForm3*>(nullptr), "readme", "README");
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"README"});
}

// A file is told from a folder by its own flag: a file whose type name reads "Folder" goes,
// a folder whose name has the extension stays; the cache keeps every entry.
TEST_F(RemoteListDialogs, FilterGoesByTheEntrysFlagAndLeavesTheCache) {
    ShowEntries({"notes.txt", "odd", "x.doc/"});
    page_->FDisplayList[1].typetext = "Folder";
    page_->AddCacheEntry("/", "odd", "", "100", "2026-01-02 03:04:00", "u", "g", "rw-", "r--",
                         "r--");
    EXPECT_EQ(Filter("*.doc"), ui::mrOk);
    EXPECT_EQ(Names(), std::vector<std::string>{"x.doc"});
    ASSERT_EQ(page_->FDirCache.size(), 1u);
    EXPECT_EQ(page_->FDirCache[0].name, "odd");
}

// The four rules on README, thread.c, read, Read, READ; an empty text selects nothing; each
// find replaces the selection before.
TEST_F(RemoteListDialogs, FindSelectsTheRowsOfItsRule) {
    ShowEntries({"README", "Read", "READ", "docs/", "read", "thread.c", "other"});
    struct Case {
        const char* text;
        bool caseSensitive;
        bool wholeName;
        std::vector<std::string> selected;
    };
    const Case cases[] = {
        {"read", false, false, {"README", "Read", "READ", "read", "thread.c"}},
        {"read", true, false, {"read", "thread.c"}},
        {"read", false, true, {"Read", "READ", "read"}},
        {"read", true, true, {"read"}},
        {"Docs", false, true, {"docs"}},
        {"", false, false, {}},
        {"ead", false, true, {}},
    };
    for (const Case& c : cases) {
        page_->ListView2->SelectRows({6});
        EXPECT_EQ(Find(c.text, c.caseSensitive, c.wholeName), ui::mrOk) << c.text;
        EXPECT_EQ(SelectedNames(), c.selected)
            << c.text << " case " << c.caseSensitive << " whole " << c.wholeName;
    }
    // Texts are remembered as typed, each once; the empty one too.
    EXPECT_EQ(shared::ReadListFile(folder_ + "Find.dat"),
              (std::vector<std::string>{"read", "Docs", "", "ead"}));
}

// The list takes the focus and shows the row before the first match at its top, or its first
// row when that matched.
TEST_F(RemoteListDialogs, FindScrollsTheFirstMatchToTheSecondVisibleRow) {
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i)
        names.push_back("file" + std::to_string(1000 + i));
    ShowEntries(names);
    page_->ListView2->ScrollToTop(250);
    const std::pair<const char*, int> cases[] = {
        {"file1120", 119}, {"file1000", 0}, {"file1", 0}, {"file1299", -2}};
    for (const auto& [text, top] : cases) {
        EXPECT_EQ(Find(text, false, false), ui::mrOk);
        if (top >= 0) {
            EXPECT_EQ(page_->ListView2->TopRow(), top) << text;
        } else {  // the last page of the list: as far down as the list goes
            EXPECT_GT(page_->ListView2->TopRow(), 250) << text;
        }
        EXPECT_EQ(page_->window()->focusWidget(), page_->ListView2->CurrentView());
    }
}

// Without an active page the find changes nothing, remembers the text and stays open; the
// filter closes.
TEST_F(RemoteListDialogs, WithoutAnActivePageNoListChanges) {
    ShowEntries({"a.txt", "b"});
    page_->ListView2->SelectRows({1});
    host_.pages.clear();
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm3&>(dialog);
        form.ComboBox1->setEditText(QStringLiteral("a"));
        ClickButton(form, "Button2");
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(shared::ReadListFile(folder_ + "Find.dat"), std::vector<std::string>{"a"});
        ClickButton(form, "Button1");
    });
    TForm3 find(host_, folder_ + "Find.dat");
    EXPECT_EQ(find.exec(), ui::mrCancel);
    EXPECT_EQ(Filter("*.txt"), ui::mrOk);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt", "b"}));
    EXPECT_EQ(SelectedNames(), std::vector<std::string>{"b"});
}

// Both dialogs: the captions and defaults, the history from the file (a damaged file as far as
// it is sound), texts kept as typed for the run and cut as records hold them, Clear history
// leaving a file of the count 0 with the dialog open, and Close.
TEST_F(RemoteListDialogs, HistoriesLoadSaveAndClear) {
    const std::string longText(60, 'x');
    auto check = [&](auto* tag, const char* caption, const char* label, const char* action) {
        using Form = std::remove_pointer_t<decltype(tag)>;
        const std::string path = History<Form>();
        // A count of 3 with one whole record: the sound record is read.
        std::string damaged("\x03\x00\x00\x00\x05*.txt", 10);
        damaged.append(45, '\0');
        damaged.append("\x04", 1);
        { std::ofstream(path, std::ios::binary) << damaged; }
        driver_.Next([&](QDialog& dialog) {
            auto& form = static_cast<Form&>(dialog);
            EXPECT_EQ(form.windowTitle(), caption);
            EXPECT_EQ(form.Label1->text(), label);
            EXPECT_EQ(form.Button2->text(), action);
            EXPECT_TRUE(form.Button2->isDefault());
            EXPECT_EQ(form.Button1->text(), "&Close");
            EXPECT_EQ(form.Button3->text(), "Clear history");
            ASSERT_EQ(form.ComboBox1->count(), 1);
            EXPECT_EQ(form.ComboBox1->itemText(0), "*.txt");
            ClickButton(form, "Button3");
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.ComboBox1->count(), 0);
            EXPECT_EQ(FileBytes(path), std::string("\0\0\0\0", 4));
            ClickButton(form, "Button1");
        });
        {
            Form form(host_, path);
            EXPECT_EQ(form.exec(), ui::mrCancel);
        }
        ShowEntries({"a"});
        for (const std::string& text : {longText, longText, std::string("A"), std::string("a")})
            EXPECT_EQ(Run<Form>(text), ui::mrOk);
        EXPECT_EQ(shared::ReadListFile(path),
                  (std::vector<std::string>{longText.substr(0, 50), "A", "a"}));
        EXPECT_EQ(FileBytes(path).size(), 4u + 3 * 51);
    };
    check(static_cast<TForm6*>(nullptr), "Filter", "Filename extension", "&OK");
    check(static_cast<TForm3*>(nullptr), "Find", "&Name to find", "&Find");
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm3&>(dialog);
        EXPECT_FALSE(form.CheckBox1->isChecked());
        EXPECT_FALSE(form.CheckBox2->isChecked());
        EXPECT_EQ(form.CheckBox1->text(), "Case sensitive");
        EXPECT_EQ(form.CheckBox2->text(), "Whole words only");
        EXPECT_EQ(Form3, &form);
        ClickButton(form, "Button1");
    });
    TForm3 form(host_, folder_ + "Find.dat");
    EXPECT_EQ(form.exec(), ui::mrCancel);
}

}  // namespace
}  // namespace dialogs::testing
