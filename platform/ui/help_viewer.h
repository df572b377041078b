#pragma once
// The program's help window: shows a topic of a help file (help_file.h) by its context name,
// or the topics finder, the list of every topic with a field that narrows the list to the
// topics holding all the words typed. Links between topics, "Contents" (the index topic) and
// "Back" move within the file. A help file that is missing or damaged, or a topic it does not
// have, is the viewer's own message in its text area; nothing is thrown.
//
// The file is read again by every ShowTopic and ShowFinder, so a rebuilt file is seen.
#include <QWidget>

#include <string>
#include <vector>

#include "platform/ui/help_file.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace ui {

class THelpViewer : public QWidget {
    Q_OBJECT

  public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Reads `helpFile` and shows the topic with context name `topic` (case ignored), the
    // finder hidden; an unknown topic shows the message and the finder.
    void ShowTopic(const std::string& helpFile, const std::string& topic);
    // Reads `helpFile` and shows the finder with the whole list and the index topic, the
    // focus in its field.
    void ShowFinder(const std::string& helpFile);

    // The context name of the topic shown ("" while a message is shown).
    const std::string& CurrentTopic() const { return current_; }
    // The message shown in place of a topic ("" while a topic is shown).
    const QString& Message() const { return message_; }
    bool FinderShown() const;
    // The titles the finder's list shows, in its order.
    QStringList ListedTitles() const;

    // ---- controls ----
    QPushButton* ContentsButton;  // "Contents": the index topic
    QPushButton* BackButton;      // "Back": the topic shown before
    QPushButton* TopicsButton;    // "Find topics": shows or hides the finder
    QWidget* FinderPanel;
    QLabel* FindLabel;
    QLineEdit* FindEdit;
    QListWidget* TopicList;
    QTextBrowser* TopicText;

  private:
    // Reads the file into topics_ and fills the list; on failure shows the message, empties
    // the list and returns false.
    bool Load(const std::string& helpFile);
    // Shows the topic (case ignored) and returns true, or shows the unknown-topic message and
    // the finder and returns false.
    bool Open(const std::string& context);
    void ShowMessage(const QString& message);
    void SetFinderShown(bool shown);
    void Narrow(const QString& words);
    void OpenListed();
    void LinkClicked(const QUrl& link);
    void GoBack();

    std::string file_;
    std::vector<HelpTopic> topics_;
    std::vector<QString> searchText_;  // per topic: title and plain text, case folded
    std::string current_;
    QString message_;
    std::vector<std::string> history_;  // topics shown before the current one
};

}  // namespace ui
