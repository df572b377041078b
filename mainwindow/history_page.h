#pragma once
// The history page, the "&History" sheet of the main window: its toolbar, the history tree
// `TreeView1` (THistoryNode, loaded only when the user asks), the detail panel `Panel4` of the
// selected transfer and the tree's popup `Phistory`, with every enabling rule: at start only
// Refresh and Help are enabled; the first load enables Clear history, Expand and Collapse for
// good; a day or transfer node enables Delete, a transfer node Execute and fills the details;
// nothing chosen (no node, or a current node that is not selected) offers neither and shows no
// details; Collapse moves the choice to its site node, which disables Delete and Execute.
//
// The page owns the records of the transfer nodes (FHistoryItems). Execute hands the selected
// record to OnExecute. Handlers run under the handler guard; what the tables throw ends the
// handler (the tables are closed again) and reaches the application error handler.
#include <QObject>

#include <functional>
#include <string>

#include "mainwindow/history_record.h"
#include "mainwindow/history_tree.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class Tdm;

class THistoryPage : public QObject {
    Q_OBJECT

  public:
    // Builds the page on `sheet`, its popup owned by `menuOwner`; `data` gives the data module
    // when a command runs (it may not exist yet at creation). Help shows a topic of the help
    // file in `programFolder`.
    THistoryPage(QWidget& sheet, QWidget& menuOwner, std::function<Tdm&()> data,
                 std::string programFolder);
    ~THistoryPage() override;

    QToolBar* ToolBar2;
    QToolButton* ToolButton1;   // "Show/Refresh hostorys"
    QToolButton* ToolButton6;   // "Delete"
    QToolButton* ToolButton16;  // "Execute"
    QToolButton* ToolButton7;   // "Clear historys"
    QToolButton* ToolButton11;  // "Expand"
    QToolButton* ToolButton15;  // "Collapse"
    QToolButton* ToolButton14;  // "Help"
    QTreeWidget* TreeView1;
    QWidget* Panel4;
    QLabel* Label4;   // "Start at"
    QLabel* Label6;   // "Finished"
    QLabel* Label12;  // "Elapsed"
    QLabel* Label14;  // "Speed"
    QLabel* Label2;   // "FTP path"
    QLabel* Label10;  // "Local path"
    QMenu* Phistory;
    QAction* Execute1;
    QAction* Delete2;
    THistoryImages ImageList5;
    THistoryItems FHistoryItems;

    // Runs a recorded transfer again (the main window's re-run).
    std::function<void(const rhd&)> OnExecute;

    void LoadHistoryTree();
    void ToolButton1Click();
    // `node` is the chosen node (mainwindow::ChosenNode), nullptr when there is none.
    void TreeView1Change(QTreeWidgetItem* node);
    void PhistoryPopup();
    void ToolButton6Click();
    void ToolButton16Click();
    void ToolButton7Click();
    void ToolButton11Click();
    void ToolButton15Click();
    void ToolButton14Click();

  private:
    void BuildControls(QWidget& sheet);
    void BuildPopup(QWidget& menuOwner);
    void ConnectHandlers();
    void ShowDetails(const rhd* record);

    std::function<Tdm&()> data_;
    std::string programFolder_;
};
