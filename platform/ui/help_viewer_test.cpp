#include "platform/ui/help_viewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <fstream>

#include "platform/os/testing/temp_folder.h"
#include "platform/ui/help_service.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace ui {
namespace {

class HelpViewer : public ::testing::Test {
  protected:
    void SetUp() override {
        Write(EncodeHelpFile({
            {"Contents", "Help topics",
             "- [[Newitem6|The connection page]]\n- [[item29|Anti-idle]]\n"},
            {"Newitem6", "The connection page",
             "Connect to the server, then download files.\n\nSee [[Contents|the topics]] and "
             "[[gone|a lost topic]].\n"},
            {"item29", "Anti-idle", "Keeps the connection open while you read the listing.\n"},
        }));
    }

    void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }

    os::testing::TempFolder folder_{"help"};
    std::string file_ = folder_.File("Zantrope.hlp");
    THelpViewer viewer_;
};

TEST_F(HelpViewer, ATopicIsShownByItsContextNameWithCaseIgnored) {
    viewer_.ShowTopic(file_, "newitem6");
    EXPECT_EQ(viewer_.CurrentTopic(), "Newitem6");
    EXPECT_EQ(viewer_.Message(), "");
    EXPECT_FALSE(viewer_.FinderShown());
    EXPECT_EQ(viewer_.windowTitle(), "Zantrope Help - The connection page");
    const QString text = viewer_.TopicText->toPlainText();
    EXPECT_TRUE(text.startsWith("The connection page\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Connect to the server, then download files.")) << text.toStdString();
    EXPECT_FALSE(viewer_.BackButton->isEnabled());
}

TEST_F(HelpViewer, LinksContentsAndBackMoveBetweenTopics) {
    viewer_.ShowTopic(file_, "item29");
    viewer_.ContentsButton->click();
    EXPECT_EQ(viewer_.CurrentTopic(), "Contents");
    emit viewer_.TopicText->anchorClicked(QUrl("topic:Newitem6"));
    EXPECT_EQ(viewer_.CurrentTopic(), "Newitem6");
    emit viewer_.TopicText->anchorClicked(QUrl("topic:gone"));
    EXPECT_EQ(viewer_.CurrentTopic(), "");
    EXPECT_EQ(
        viewer_.Message().toStdString(),
        "The help file \"" + file_ + "\" has no topic \"gone\". Choose a topic from the list.");
    EXPECT_TRUE(viewer_.FinderShown());
    viewer_.BackButton->click();
    EXPECT_EQ(viewer_.CurrentTopic(), "Newitem6");
    viewer_.BackButton->click();
    EXPECT_EQ(viewer_.CurrentTopic(), "Contents");
    viewer_.BackButton->click();
    EXPECT_EQ(viewer_.CurrentTopic(), "item29");
    EXPECT_FALSE(viewer_.BackButton->isEnabled());
}

TEST_F(HelpViewer, TheFinderListsEveryTopicAndTheWordsTypedNarrowIt) {
    viewer_.show();
    viewer_.ShowFinder(file_);
    EXPECT_TRUE(viewer_.FinderShown());
    EXPECT_EQ(viewer_.CurrentTopic(), "Contents");
    EXPECT_EQ(viewer_.focusWidget(), viewer_.FindEdit);
    EXPECT_EQ(viewer_.ListedTitles(),
              (QStringList{"Help topics", "Anti-idle", "The connection page"}));

    // Every word, in any case, in the title or the text.
    QTest::keyClicks(viewer_.FindEdit, "OPEN");
    EXPECT_EQ(viewer_.ListedTitles(), QStringList{"Anti-idle"});
    viewer_.FindEdit->clear();
    QTest::keyClicks(viewer_.FindEdit, "Connection");
    EXPECT_EQ(viewer_.ListedTitles().size(), 3);
    QTest::keyClicks(viewer_.FindEdit, " download");
    EXPECT_EQ(viewer_.ListedTitles(), QStringList{"The connection page"});
    QTest::keyClick(viewer_.FindEdit, Qt::Key_Return);
    EXPECT_EQ(viewer_.CurrentTopic(), "Newitem6");
    viewer_.FindEdit->setText("nowhere");
    EXPECT_TRUE(viewer_.ListedTitles().isEmpty());
    viewer_.FindEdit->clear();
    EXPECT_EQ(viewer_.ListedTitles().size(), 3);

    // A click on a listed topic shows it; the topics button hides the finder.
    QListWidgetItem* antiIdle = viewer_.TopicList->item(1);
    viewer_.TopicList->setCurrentItem(antiIdle);
    emit viewer_.TopicList->itemClicked(antiIdle);
    EXPECT_EQ(viewer_.CurrentTopic(), "item29");
    viewer_.TopicsButton->click();
    EXPECT_FALSE(viewer_.FinderShown());
}

// A missing or damaged file, or a topic the file lacks, is the viewer's message; the next
// request with a sound file is shown again.
TEST_F(HelpViewer, AMissingOrDamagedFileAndAnUnknownTopicGiveTheViewersMessage) {
    const std::string sound = EncodeHelpFile({{"Contents", "Help topics", "Index."}});
    struct Case {
        const char* what;
        bool write;
        std::string bytes;
        std::string message;
    };
    const std::string name = "The help file \"" + file_ + "\" ";
    const Case cases[] = {
        {"missing", false, "", name + "does not exist."},
        {"empty", true, "", name + "is not a help file of this program."},
        {"cut", true, sound.substr(0, sound.size() - 1),
         name + "is damaged: the text of topic 1 of 1 runs past the end of the file (" +
             std::to_string(sound.size() - 1) + " bytes)."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file_);
        if (c.write)
            Write(c.bytes);
        viewer_.ShowTopic(file_, "Newitem6");
        EXPECT_EQ(viewer_.Message().toStdString(), c.message) << c.what;
        EXPECT_EQ(viewer_.CurrentTopic(), "") << c.what;
        EXPECT_TRUE(viewer_.TopicText->toPlainText().contains(viewer_.Message())) << c.what;
        EXPECT_EQ(viewer_.TopicList->count(), 0) << c.what;
        viewer_.ShowFinder(file_);
        EXPECT_EQ(viewer_.Message().toStdString(), c.message) << c.what;
    }
    Write(sound);
    viewer_.ShowTopic(file_, "Newitem6");
    EXPECT_EQ(viewer_.Message().toStdString(),
              name + "has no topic \"Newitem6\". Choose a topic from the list.");
    EXPECT_TRUE(viewer_.FinderShown());
    EXPECT_EQ(viewer_.ListedTitles(), QStringList{"Help topics"});
    viewer_.ShowTopic(file_, "Contents");
    EXPECT_EQ(viewer_.CurrentTopic(), "Contents");
}

// The program's service shows one window, owned by the main window when one is shown (so it
// never keeps the program running) and gone with the service.
TEST_F(HelpViewer, TheServiceShowsOneWindowThatTheMainWindowOwns) {
    QPointer<THelpViewer> shown;
    {
        QtHelpService service;
        EXPECT_EQ(service.Viewer(), nullptr);
        service.ShowTopic(file_, "item29");
        shown = service.Viewer();
        ASSERT_NE(shown, nullptr);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(shown->parentWidget(), nullptr);
        EXPECT_EQ(shown->CurrentTopic(), "item29");

        QMainWindow main;
        main.show();
        service.ShowFinder(file_);
        EXPECT_EQ(service.Viewer(), shown.data());
        EXPECT_EQ(shown->parentWidget(), &main);
        EXPECT_TRUE(shown->isWindow());
        EXPECT_TRUE(shown->isVisible());
        EXPECT_TRUE(shown->FinderShown());
    }
    EXPECT_EQ(shown, nullptr);
}

}  // namespace
}  // namespace ui
