#include "mainwindow/history_page.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

#include "mainwindow/history_tables.h"
#include "mainwindow/named_controls.h"
#include "mainwindow/tree_choice.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"

namespace {

constexpr int kDayLevel = 2;
constexpr int kTransferLevel = 3;
// The caption of a detail's value label, which names it to a screen reader.
constexpr const char* kCaptionProperty = "detailCaption";

// A caption and its value label on the next row of the detail panel.
QLabel* AddDetail(QGridLayout& grid, const char* caption, const char* name, bool wraps) {
    const int row = grid.rowCount();
    auto* panel = grid.parentWidget();
    grid.addWidget(new QLabel(QString::fromLatin1(caption), panel), row, 0, Qt::AlignTop);
    auto* value = new QLabel(panel);
    value->setObjectName(QString::fromLatin1(name));
    // Named by its caption while it shows no value (ShowDetails).
    value->setAccessibleName(QString::fromLatin1(caption));
    value->setProperty(kCaptionProperty, QString::fromLatin1(caption));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (wraps) {
        // A path wraps over two lines, also where it holds no blank.
        value->setWordWrap(true);
        value->setMinimumHeight(2 * value->fontMetrics().lineSpacing());
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    grid.addWidget(value, row, 1);
    return value;
}

}  // namespace

THistoryPage::THistoryPage(QWidget& sheet, QWidget& menuOwner, std::function<Tdm&()> data,
                           std::string programFolder)
    : QObject(&sheet),
      ImageList5(MakeHistoryImages()),
      data_(std::move(data)),
      programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("HistoryPage"));
    BuildControls(sheet);
    BuildPopup(menuOwner);
    ConnectHandlers();
}

THistoryPage::~THistoryPage() {
    // The tree goes with the sheet, after the records its nodes point at: no handler may run
    // on it any more.
    TreeView1->blockSignals(true);
}

void THistoryPage::BuildControls(QWidget& sheet) {
    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    ToolBar2 = new QToolBar(&sheet);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    using mainwindow::AddToolButton;
    using mainwindow::ThemedIcon;
    ToolButton1 = AddToolButton(*ToolBar2, "ToolButton1", "Show/Refresh hostorys",
                                ThemedIcon("view-refresh", QStyle::SP_BrowserReload));
    ToolBar2->addSeparator();
    ToolButton6 = AddToolButton(*ToolBar2, "ToolButton6", "Delete",
                                ThemedIcon("edit-delete", QStyle::SP_TrashIcon), false);
    ToolButton16 = AddToolButton(*ToolBar2, "ToolButton16", "Execute",
                                 ThemedIcon("media-playback-start", QStyle::SP_MediaPlay), false);
    ToolButton7 = AddToolButton(*ToolBar2, "ToolButton7", "Clear historys",
                                ThemedIcon("edit-clear", QStyle::SP_DialogResetButton), false);
    ToolBar2->addSeparator();
    ToolButton11 =
        AddToolButton(*ToolBar2, "ToolButton11", "Expand",
                      ThemedIcon("list-add", QStyle::SP_ToolBarVerticalExtensionButton), false);
    ToolButton15 = AddToolButton(
        *ToolBar2, "ToolButton15", "Collapse",
        ThemedIcon("list-remove", QStyle::SP_ToolBarHorizontalExtensionButton), false);
    ToolBar2->addSeparator();
    ToolButton14 = AddToolButton(*ToolBar2, "ToolButton14", "Help",
                                 ui::StyleIcon(QStyle::SP_DialogHelpButton));
    column->addWidget(ToolBar2);

    TreeView1 = new QTreeWidget(&sheet);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("History"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // Every row is one line of text: the view need not measure 100,000 rows one by one.
    TreeView1->setUniformRowHeights(true);
    column->addWidget(TreeView1, 1);

    Panel4 = new QWidget(&sheet);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* grid = new QGridLayout(Panel4);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setColumnStretch(1, 1);
    Label4 = AddDetail(*grid, "Start at", "Label4", false);
    Label6 = AddDetail(*grid, "Finished", "Label6", false);
    Label12 = AddDetail(*grid, "Elapsed", "Label12", false);
    Label14 = AddDetail(*grid, "Speed", "Label14", false);
    Label2 = AddDetail(*grid, "FTP path", "Label2", true);
    Label10 = AddDetail(*grid, "Local path", "Label10", true);
    column->addWidget(Panel4);
}

void THistoryPage::BuildPopup(QWidget& menuOwner) {
    Phistory = new QMenu(&menuOwner);
    Phistory->setObjectName(QStringLiteral("Phistory"));
    Execute1 = mainwindow::AddMenuItem(*Phistory, "Execute1", "Execute");
    Delete2 = mainwindow::AddMenuItem(*Phistory, "Delete2", "Delete");
    Execute1->setEnabled(false);
    Delete2->setEnabled(false);
}

void THistoryPage::ConnectHandlers() {
    const auto click = [this](QToolButton* button, void (THistoryPage::*handler)()) {
        connect(button, &QToolButton::clicked, this,
                ui::Guarded([this, handler] { (this->*handler)(); }));
    };
    click(ToolButton1, &THistoryPage::ToolButton1Click);
    click(ToolButton6, &THistoryPage::ToolButton6Click);
    click(ToolButton16, &THistoryPage::ToolButton16Click);
    click(ToolButton7, &THistoryPage::ToolButton7Click);
    click(ToolButton11, &THistoryPage::ToolButton11Click);
    click(ToolButton15, &THistoryPage::ToolButton15Click);
    click(ToolButton14, &THistoryPage::ToolButton14Click);
    connect(Execute1, &QAction::triggered, this, ui::Guarded([this] { ToolButton16Click(); }));
    connect(Delete2, &QAction::triggered, this, ui::Guarded([this] { ToolButton6Click(); }));
    mainwindow::FollowChoice(*TreeView1, *this, [this] {
        ui::RunGuarded([this] { TreeView1Change(mainwindow::ChosenNode(*TreeView1)); });
    });
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ui::RunGuarded([this] { PhistoryPopup(); });
        Phistory->popup(TreeView1->viewport()->mapToGlobal(at));
    });
}

void THistoryPage::LoadHistoryTree() {
    ::LoadHistoryTree(*TreeView1, ImageList5, data_(), FHistoryItems);
}

void THistoryPage::ToolButton1Click() {
    LoadHistoryTree();
    ToolButton7->setEnabled(true);
    ToolButton11->setEnabled(true);
    ToolButton15->setEnabled(true);
}

void THistoryPage::ShowDetails(const rhd* record) {
    const auto show = [](QLabel* label, const std::string& text) {
        label->setText(ui::ToQt(text));
        // A value is its own name, as for any label; an empty one is named by its caption.
        label->setAccessibleName(text.empty() ? label->property(kCaptionProperty).toString()
                                              : QString());
    };
    show(Label4, record != nullptr ? record->date : "");
    show(Label6, record != nullptr ? record->date2 : "");
    show(Label12, record != nullptr ? record->usetime + "sec" : "");
    show(Label14, record != nullptr ? record->speed : "");
    show(Label2, record != nullptr ? record->ftppath : "");
    show(Label10, record != nullptr ? record->lopath : "");
}

void THistoryPage::TreeView1Change(QTreeWidgetItem* node) {
    // Without a chosen node nothing is offered: Delete would act on a node the user does not
    // see as chosen.
    const int level = node != nullptr ? NodeLevel(*node) : -1;
    ToolButton6->setEnabled(level >= kDayLevel);
    const THistoryNode* history = AsHistoryNode(node);
    const rhd* record = level == kTransferLevel && history != nullptr ? history->Record() : nullptr;
    ShowDetails(record);
    ToolButton16->setEnabled(record != nullptr);
}

void THistoryPage::PhistoryPopup() {
    const QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView1);
    const int level = node != nullptr ? NodeLevel(*node) : -1;
    Execute1->setEnabled(level == kTransferLevel);
    Delete2->setEnabled(level >= kDayLevel);
}

void THistoryPage::ToolButton6Click() {
    QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView1);
    const THistoryNode* history = AsHistoryNode(node);
    if (history == nullptr)
        return;
    const int level = NodeLevel(*node);
    if (level == kTransferLevel) {
        // A row deleted since the load (a stale tree) leaves its node.
        if (history->Record() != nullptr &&
            mainwindow::DeleteHistoryDetail(data_(), history->Record()->key))
            delete node;
        return;
    }
    if (level != kDayLevel)
        return;
    std::vector<std::int32_t> keys;
    for (int child = 0; child < node->childCount(); ++child) {
        const THistoryNode* transfer = AsHistoryNode(node->child(child));
        if (transfer != nullptr && transfer->Record() != nullptr)
            keys.push_back(transfer->Record()->key);
    }
    const bool upload = node->parent()->parent()->indexOfChild(node->parent()) == 0;
    mainwindow::DeleteHistoryDay(data_(), keys, history->SiteId(), history->StoredText(), upload);
    delete node;
}

void THistoryPage::ToolButton16Click() {
    const QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView1);
    const THistoryNode* history = AsHistoryNode(node);
    if (history == nullptr || NodeLevel(*node) != kTransferLevel || history->Record() == nullptr)
        return;
    if (OnExecute)
        OnExecute(*history->Record());
}

void THistoryPage::ToolButton7Click() {
    mainwindow::ClearHistoryTables(data_());
    // The nodes point at the records: they go first.
    TreeView1->clear();
    FHistoryItems.clear();
    ToolButton1Click();
}

void THistoryPage::ToolButton11Click() {
    const TTreeUpdatesHeld held(*TreeView1);
    TreeView1->expandAll();
}

void THistoryPage::ToolButton15Click() {
    {
        const TTreeUpdatesHeld held(*TreeView1);
        TreeView1->collapseAll();
    }
    // The choice moves to its site node, and the details and buttons follow that node.
    mainwindow::KeepChoiceVisible(*TreeView1);
    ToolButton6->setEnabled(false);
    ToolButton16->setEnabled(false);
}

void THistoryPage::ToolButton14Click() {
    ui::HelpJump(programFolder_, "item23");
}
