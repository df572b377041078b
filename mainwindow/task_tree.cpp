#include "mainwindow/task_tree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/task_category_dialog.h"
#include "dialogs/task_dialog.h"
#include "dialogs/task_images.h"
#include "mainwindow/named_controls.h"
#include "mainwindow/tree_choice.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"

namespace {

using mainwindow::AddMenuItem;
using mainwindow::AddToolButton;

constexpr int kCategoryRole = Qt::UserRole;
constexpr int kTaskRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

void SetImage(QTreeWidgetItem& node, int image) {
    node.setIcon(0, task_images::TreeImage(image));
    node.setData(0, kImageRole, image);
}

QIcon StyleIcon(QStyle::StandardPixmap icon) {
    return ui::StyleIcon(icon);
}

const rtask* TaskOf(const QTreeWidgetItem* node) {
    if (node == nullptr || node->parent() == nullptr)
        return nullptr;
    return reinterpret_cast<const rtask*>(node->data(0, kTaskRole).value<quintptr>());
}

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (names[index] == name)
            return static_cast<int>(index);
    }
    return -1;
}

}  // namespace

TTaskTree::TTaskTree(QWidget& sheet, QWidget& dialogParent, std::string programFolder,
                     std::function<std::vector<std::string>()> siteNames)
    : QObject(&sheet),
      dialogParent_(dialogParent),
      programFolder_(std::move(programFolder)),
      siteNames_(std::move(siteNames)) {
    setObjectName(QStringLiteral("TaskTree"));
    BuildControls(sheet);
    ConnectHandlers();
}

TTaskTree::~TTaskTree() {
    // The tree goes with the sheet after this object: its signals must not reach it.
    TreeView2->disconnect(this);
}

void TTaskTree::BuildControls(QWidget& sheet) {
    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    ToolBar3 = new QToolBar(&sheet);
    ToolBar3->setObjectName(QStringLiteral("ToolBar3"));
    ToolButton34 =
        AddToolButton(*ToolBar3, "ToolButton34", "", StyleIcon(QStyle::SP_BrowserReload));
    // No hint, as designed; its name says what it does.
    ToolButton34->setAccessibleName(QStringLiteral("Reload tasks"));
    ToolBar3->addSeparator();
    ToolButton23 = AddToolButton(*ToolBar3, "ToolButton23", "New category",
                                 StyleIcon(QStyle::SP_FileDialogNewFolder));
    ToolButton26 = AddToolButton(*ToolBar3, "ToolButton26", "Edit",
                                 StyleIcon(QStyle::SP_FileDialogDetailedView));
    ToolButton18 =
        AddToolButton(*ToolBar3, "ToolButton18", "Delete", StyleIcon(QStyle::SP_TrashIcon));
    ToolButton18->setEnabled(false);
    ToolBar3->addSeparator();
    ToolButton17 =
        AddToolButton(*ToolBar3, "ToolButton17", "Execute", StyleIcon(QStyle::SP_MediaPlay));
    ToolButton17->setEnabled(false);
    ToolBar3->addSeparator();
    ToolButton21 =
        AddToolButton(*ToolBar3, "ToolButton21", "Expand", StyleIcon(QStyle::SP_ArrowDown));
    ToolButton22 =
        AddToolButton(*ToolBar3, "ToolButton22", "Collapse", StyleIcon(QStyle::SP_ArrowUp));
    ToolBar3->addSeparator();
    ToolButton25 =
        AddToolButton(*ToolBar3, "ToolButton25", "Help", StyleIcon(QStyle::SP_DialogHelpButton));
    column->addWidget(ToolBar3);

    auto* split = new QSplitter(Qt::Vertical, &sheet);
    split->setObjectName(QStringLiteral("Splitter4"));
    TreeView2 = new QTreeWidget(split);
    TreeView2->setObjectName(QStringLiteral("TreeView2"));
    TreeView2->setAccessibleName(QStringLiteral("Tasks"));
    TreeView2->setHeaderHidden(true);
    TreeView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView2->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* lower = new QWidget(split);
    auto* description = new QVBoxLayout(lower);
    description->setContentsMargins(0, 0, 0, 0);
    Label3 = new QLabel(QStringLiteral("Description"), lower);
    Label3->setObjectName(QStringLiteral("Label3"));
    Memo1 = new QPlainTextEdit(lower);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Label3->setBuddy(Memo1);  // the memo's accessible name
    description->addWidget(Label3);
    description->addWidget(Memo1, 1);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);

    Poptask = new QMenu(TreeView2);
    Poptask->setObjectName(QStringLiteral("Poptask"));
    Edit2 = AddMenuItem(*Poptask, "Edit2", "Edit");
    Delete3 = AddMenuItem(*Poptask, "Delete3", "Delete");
    Poptask->addSeparator();
    Execute2 = AddMenuItem(*Poptask, "Execute2", "Execute");
}

void TTaskTree::ConnectHandlers() {
    const auto bind = [this](QToolButton* button, void (TTaskTree::*handler)()) {
        connect(button, &QToolButton::clicked, this,
                ui::Guarded([this, handler] { (this->*handler)(); }));
    };
    bind(ToolButton34, &TTaskTree::LoadTaskTree);
    bind(ToolButton23, &TTaskTree::ToolButton23Click);
    bind(ToolButton26, &TTaskTree::ToolButton26Click);
    bind(ToolButton18, &TTaskTree::ToolButton18Click);
    bind(ToolButton17, &TTaskTree::ToolButton17Click);
    bind(ToolButton21, &TTaskTree::ToolButton21Click);
    bind(ToolButton22, &TTaskTree::ToolButton22Click);
    bind(ToolButton25, &TTaskTree::ToolButton25Click);
    connect(Edit2, &QAction::triggered, this, ui::Guarded([this] { ToolButton26Click(); }));
    connect(Delete3, &QAction::triggered, this, ui::Guarded([this] { ToolButton18Click(); }));
    connect(Execute2, &QAction::triggered, this, ui::Guarded([this] { ToolButton17Click(); }));
    mainwindow::FollowChoice(*TreeView2, *this, ui::Guarded([this] { TreeView2Change(); }));
    connect(TreeView2, &QWidget::customContextMenuRequested, this,
            ui::Guarded([this](const QPoint& position) {
                PoptaskPopup();
                Poptask->popup(TreeView2->viewport()->mapToGlobal(position));
            }));
}

const rtask* TTaskTree::SelectedTask() const {
    return TaskOf(mainwindow::ChosenNode(*TreeView2));
}

std::int32_t TTaskTree::CategoryIdOf(const QTreeWidgetItem& node) {
    return node.parent() == nullptr ? node.data(0, kCategoryRole).toInt() : -1;
}

int TTaskTree::ImageOf(const QTreeWidgetItem& node) {
    return node.data(0, kImageRole).toInt();
}

QTreeWidgetItem* TTaskTree::AddCategory(std::int32_t id, const std::string& name) {
    auto* node = new QTreeWidgetItem(TreeView2, {ui::ToQt(name)});
    SetImage(*node, 0);
    node->setData(0, kCategoryRole, id);
    return node;
}

void TTaskTree::LoadTaskTree() {
    {
        // The records go only after the nodes that point to them.
        const QSignalBlocker quiet(TreeView2);
        TreeView2->clear();
    }
    FTaskItems.clear();
    TreeView2Change();
    for (tasks::CategoryRows& category : tasks::ReadTaskTree()) {
        QTreeWidgetItem* parent = AddCategory(category.id, category.name);
        for (rtask& record : category.tasks) {
            auto* node = new QTreeWidgetItem(parent, {ui::ToQt(record.name)});
            SetImage(*node, tasks::IsDownloadType(record.type) ? 2 : 1);
            FTaskItems.push_back(std::make_unique<rtask>(std::move(record)));
            node->setData(0, kTaskRole,
                          QVariant::fromValue(reinterpret_cast<quintptr>(FTaskItems.back().get())));
        }
    }
    TreeView2->expandAll();
}

void TTaskTree::TreeView2Change() {
    const QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView2);
    Memo1->clear();
    ToolButton18->setEnabled(node != nullptr);
    if (node == nullptr) {
        ToolButton17->setEnabled(false);  // nothing chosen runs
        return;
    }
    if (const rtask* task = TaskOf(node)) {
        ToolButton17->setEnabled(true);
        Memo1->setPlainText(ui::ToQt(task->common));
        return;
    }
    ToolButton17->setEnabled(false);
    if (const auto description = tasks::CategoryDescription(CategoryIdOf(*node)))
        Memo1->setPlainText(ui::ToQt(*description));
}

void TTaskTree::PoptaskPopup() {
    const QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView2);
    Edit2->setEnabled(node != nullptr);
    Delete3->setEnabled(node != nullptr);
    Execute2->setEnabled(TaskOf(node) != nullptr);
}

void TTaskTree::ToolButton23Click() {
    TForm12 dialog(*this, &dialogParent_);
    dialog.exec();
}

void TTaskTree::ToolButton26Click() {
    const QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView2);
    if (node == nullptr)
        return;
    if (const rtask* task = TaskOf(node)) {
        // A copy: saving rebuilds the tree and its records.
        EditTask(rtask(*task), *node->parent());
        return;
    }
    const std::int32_t id = CategoryIdOf(*node);
    TForm12 dialog(*this, &dialogParent_);
    dialog.PresetEdit(id, ui::FromQt(node->text(0)),
                      tasks::CategoryDescription(id).value_or(std::string()));
    dialog.exec();
}

void TTaskTree::EditTask(const rtask& task, const QTreeWidgetItem& category) {
    TForm13 dialog(*this, programFolder_, &dialogParent_);
    dialog.SetEditMode(task.id, task.name);
    dialog.SetTaskType(task.type);
    dialog.Memo1->setPlainText(ui::ToQt(task.common));
    const std::vector<std::string> sites = siteNames_();
    dialog.SetSites(sites, IndexOf(sites, task.ftp));
    dialog.SetCategories(TreeCategories(),
                         TreeView2->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(&category)));
    // A download task keeps its site.
    if (dialog.IsDownload())
        dialog.ComboBoxEx2->setEnabled(false);
    // After both lists, so that OK starts enabled when a site and a category are chosen.
    dialog.Edit1->setText(ui::ToQt(task.name));
    for (const rtaskupdown& file : tasks::ReadTaskFiles(task.id))
        dialog.AddFileRow(file);
    dialog.exec();
}

void TTaskTree::ShowNewUploadTask(const std::vector<rtaskupdown>& files) {
    TForm13 dialog(*this, programFolder_, &dialogParent_);
    const std::vector<std::string> sites = siteNames_();
    dialog.SetSites(sites, sites.empty() ? -1 : 0);
    for (const rtaskupdown& file : files)
        dialog.AddFileRow(file);
    const std::vector<TTaskCategory> categories = TreeCategories();
    dialog.SetCategories(categories, categories.empty() ? -1 : 0);
    dialog.exec();
}

void TTaskTree::ToolButton18Click() {
    QTreeWidgetItem* node = mainwindow::ChosenNode(*TreeView2);
    if (node == nullptr)
        return;
    if (const rtask* task = TaskOf(node))
        tasks::DeleteTask(task->id);
    else
        tasks::DeleteCategory(CategoryIdOf(*node));
    // The records stay in FTaskItems until the next load.
    delete node;
    TreeView2Change();
}

void TTaskTree::ToolButton17Click() {
    const rtask* task = SelectedTask();
    if (task == nullptr || !OnExecute)
        return;
    // A copy: the run pumps messages, and a reload meanwhile replaces the records.
    OnExecute(rtask(*task));
}

void TTaskTree::ToolButton21Click() {
    TreeView2->expandAll();
}

void TTaskTree::ToolButton22Click() {
    TreeView2->collapseAll();
    // A chosen task hands the choice to its category; the buttons and the description follow.
    mainwindow::KeepChoiceVisible(*TreeView2);
}

void TTaskTree::ToolButton25Click() {
    ui::HelpJump(programFolder_, "item25");
}

void TTaskTree::AddCategoryNode(const TTaskCategory& category) {
    AddCategory(category.id, category.name);
}

void TTaskTree::RenameCategoryNode(std::int32_t id, const std::string& name) {
    for (int index = 0; index < TreeView2->topLevelItemCount(); ++index) {
        QTreeWidgetItem* node = TreeView2->topLevelItem(index);
        if (CategoryIdOf(*node) == id)
            node->setText(0, ui::ToQt(name));
    }
    TreeView2Change();
}

std::vector<TTaskCategory> TTaskTree::TreeCategories() const {
    std::vector<TTaskCategory> categories;
    for (int index = 0; index < TreeView2->topLevelItemCount(); ++index) {
        const QTreeWidgetItem* node = TreeView2->topLevelItem(index);
        categories.push_back({CategoryIdOf(*node), ui::FromQt(node->text(0))});
    }
    return categories;
}
