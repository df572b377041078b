#include "connection/tfb_components.h"

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "connection/page_images.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/tool_buttons.h"

namespace {

const char* const kImageProperty = "ImageIndex";

QToolButton* AddButton(QToolBar& bar, const char* name, const char* hint, int image, bool enabled) {
    QToolButton* button = ui::AddToolButton(bar, name, hint);
    button->setFixedSize(31, 30);  // around its 24-pixel picture
    button->setEnabled(enabled);
    TfbComponents::SetImage(*button, image);
    return button;
}

QAction* AddItem(QMenu& menu, const char* name, const char* caption) {
    QAction* action = menu.addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* AddMenu(QWidget& owner, const char* name) {
    auto* menu = new QMenu(&owner);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* AddSubmenu(QMenu& menu, const char* name, const char* caption, QMenu** submenu) {
    *submenu = menu.addMenu(QString::fromLatin1(caption));
    QAction* item = (*submenu)->menuAction();
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

// The four view items of one menu, one radio group with "Report" checked.
void AddViewItems(QMenu& menu, const char* const names[4], QAction* items[4]) {
    static const char* const kCaptions[4] = {"Large icon", "List", "Small icon", "Report"};
    auto* group = new QActionGroup(&menu);
    for (int index = 0; index < 4; ++index) {
        items[index] = AddItem(menu, names[index], kCaptions[index]);
        items[index]->setCheckable(true);
        group->addAction(items[index]);
    }
    items[3]->setChecked(true);
}

}  // namespace

TfbComponents::TfbComponents(QWidget* parent)
    : QWidget(parent), Timer1(new QTimer(this)), Timer2(new QTimer(this)) {
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer1->setInterval(1000);
    Timer2->setInterval(1000);
    BuildMenus();
    BuildToolBar();
    BuildLists();
    BuildProgressPanel();
    LayOut();
}

TfbComponents::~TfbComponents() = default;

int TfbComponents::ImageOf(const QToolButton& button) {
    const QVariant image = button.property(kImageProperty);
    return image.isValid() ? image.toInt() : -1;
}

void TfbComponents::SetImage(QToolButton& button, int image) {
    button.setProperty(kImageProperty, image);
    button.setIcon(page_images::ToolImage(image));
}

void TfbComponents::BuildMenus() {
    PopupMenu1 = AddMenu(*this, "PopupMenu1");
    Download1 = AddItem(*PopupMenu1, "Download1", "Download...");
    Download1->setVisible(false);
    Download1->setEnabled(false);
    PopupMenu1->addSeparator();
    QMenu* viewMenu = nullptr;
    View1 = AddSubmenu(*PopupMenu1, "View1", "View", &viewMenu);
    static const char* const kViewNames1[4] = {"LargeIcon1", "List1", "Smallicon1", "Report1"};
    QAction* viewItems1[4];
    AddViewItems(*viewMenu, kViewNames1, viewItems1);
    LargeIcon1 = viewItems1[0];
    List1 = viewItems1[1];
    Smallicon1 = viewItems1[2];
    Report1 = viewItems1[3];
    QMenu* sortMenu = nullptr;
    Sort1 = AddSubmenu(*PopupMenu1, "Sort1", "Sort", &sortMenu);
    Sort1->setEnabled(false);
    Sortbyname1 = AddItem(*sortMenu, "Sortbyname1", "Sort by name");
    Sortbysize1 = AddItem(*sortMenu, "Sortbysize1", "Sort by size");
    Sortbytype1 = AddItem(*sortMenu, "Sortbytype1", "Sort by type");
    Sortbydate1 = AddItem(*sortMenu, "Sortbydate1", "Sort by date");
    PopupMenu1->addSeparator();
    Delete1 = AddItem(*PopupMenu1, "Delete1", "Delete");
    Delete1->setVisible(false);
    Rename1 = AddItem(*PopupMenu1, "Rename1", "Rename");
    Rename1->setVisible(false);
    Makenewdirectory1 = AddItem(*PopupMenu1, "Makenewdirectory1", "Make new directory");
    Makenewdirectory1->setEnabled(false);
    PopupMenu1->addSeparator();
    Addtask1 = AddItem(*PopupMenu1, "Addtask1", "Add task...");
    Addtask1->setEnabled(false);
    Exportselectfolder1 = AddItem(*PopupMenu1, "Exportselectfolder1", "Export selected");
    Exportselectfolder1->setVisible(false);
    PopupMenu1->addSeparator();
    Find1 = AddItem(*PopupMenu1, "Find1", "Find...");
    Find1->setEnabled(false);
    Filter1 = AddItem(*PopupMenu1, "Filter1", "Filter...");
    Filter1->setEnabled(false);
    PopupMenu1->addSeparator();
    Refresh1 = AddItem(*PopupMenu1, "Refresh1", "Refresh");
    Refresh1->setEnabled(false);
    PopupMenu1->addSeparator();
    Properties1 = AddItem(*PopupMenu1, "Properties1", "Properties");
    Properties1->setEnabled(false);

    view = AddMenu(*this, "view");
    static const char* const kViewNames2[4] = {"LargeIcon2", "List2", "Smallicon2", "Report2"};
    QAction* viewItems2[4];
    AddViewItems(*view, kViewNames2, viewItems2);
    LargeIcon2 = viewItems2[0];
    List2 = viewItems2[1];
    Smallicon2 = viewItems2[2];
    Report2 = viewItems2[3];

    Popinfo = AddMenu(*this, "Popinfo");
    Clear1 = AddItem(*Popinfo, "Clear1", "Clear");
    Savetofile1 = AddItem(*Popinfo, "Savetofile1", "Save to file...");

    Popupdown = AddMenu(*this, "Popupdown");
    ransfer1 = AddItem(*Popupdown, "ransfer1", "Transfer");
    Stop1 = AddItem(*Popupdown, "Stop1", "Stop");
    Delete2 = AddItem(*Popupdown, "Delete2", "Delete");
    Clear2 = AddItem(*Popupdown, "Clear2", "Clear");

    exportpop = AddMenu(*this, "exportpop");
    Exportfull1 = AddItem(*exportpop, "Exportfull1", "Export whole directories");
    exportpop->setDefaultAction(Exportfull1);
    Exportsel1 = AddItem(*exportpop, "Exportsel1", "Export selected");
    Exportsel1->setEnabled(false);

    fbbookmark = AddMenu(*this, "fbbookmark");
    AddBookmark1 = AddItem(*fbbookmark, "AddBookmark1", "Add Bookmark");
    fbbookmark->setDefaultAction(AddBookmark1);
    Bookmarkmanager1 = AddItem(*fbbookmark, "Bookmarkmanager1", "Manage Bookmarks...");
    MenuItem1 = fbbookmark->addSeparator();
    MenuItem1->setObjectName(QStringLiteral("MenuItem1"));
}

void TfbComponents::BuildToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(24, 24));
    ToolButton1 = AddButton(*ToolBar1, "ToolButton1", "Back", 0, false);
    ToolButton2 = AddButton(*ToolBar1, "ToolButton2", "Refresh", 1, false);
    ToolButton3 = AddButton(*ToolBar1, "ToolButton3", "Abort operation", 2, false);
    ToolButton17 = AddButton(*ToolBar1, "ToolButton17", "Disconnect", 15, true);
    ToolBar1->addSeparator();
    ToolButton6 = AddButton(*ToolBar1, "ToolButton6", "Find...", 4, false);
    ToolButton7 = AddButton(*ToolBar1, "ToolButton7", "Filter", 5, false);
    ToolButton11 = AddButton(*ToolBar1, "ToolButton11", "Make new directory", 6, false);
    ToolButton4 = AddButton(*ToolBar1, "ToolButton4", "Delete", 7, false);
    ToolButton5 = AddButton(*ToolBar1, "ToolButton5", "Download...", 8, false);
    ToolButton9 = AddButton(*ToolBar1, "ToolButton9", "Add task", 14, false);
    ToolBar1->addSeparator();
    ToolButton18 = AddButton(*ToolBar1, "ToolButton18", "Export whole directories", 9, false);
    ToolButton18->setMenu(exportpop);
    ToolButton18->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton10 = AddButton(*ToolBar1, "ToolButton10", "", 16, false);
    ToolButton10->setMenu(fbbookmark);
    ToolButton10->setPopupMode(QToolButton::MenuButtonPopup);
    // No hint: the button is called after what a click on it does, its menu's default item.
    ToolButton10->setAccessibleName(AddBookmark1->text());
    ToolButton8 = AddButton(*ToolBar1, "ToolButton8", "", 10, true);
    ToolButton8->setText(QStringLiteral("View"));
    // The one button that shows its caption beside its image.
    ToolButton8->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolButton8->setMinimumSize(31, 30);
    ToolButton8->setMaximumSize(QWIDGETSIZE_MAX, 30);
    ToolButton8->setMenu(view);
    ToolButton8->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton16 = AddButton(*ToolBar1, "ToolButton16", "Help", 11, true);
}

void TfbComponents::BuildLists() {
    ListView1 = new QTreeView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(QStringLiteral("Queue"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QueueItems = new QStandardItemModel(0, 5, ListView1);
    QueueItems->setHorizontalHeaderLabels({QString(), QStringLiteral("Name"),
                                           QStringLiteral("Size (bytes)"), QStringLiteral("Status"),
                                           QStringLiteral("Path")});
    ListView1->setModel(QueueItems);
    ui::SetScaledColumnWidths(*ListView1, {{0, 20}, {1, 160}, {2, 100}, {3, 150}});
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);

    ListView2 = new ui::ListView(this);
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->SetAccessibleName(QStringLiteral("Remote list"));
    RemoteItems = new ui::OwnerDataModel(ListView2);
    RemoteItems->setObjectName(QStringLiteral("RemoteItems"));
    RemoteItems->SetColumns({QStringLiteral("Name"), QStringLiteral("Size"), QStringLiteral("Type"),
                             QStringLiteral("Modified"), QStringLiteral("Attrib")});
    RemoteItems->SetImages({page_images::EntryImage(0), page_images::EntryImage(1)});
    ListView2->SetModel(RemoteItems);
    ListView2->SetMultiSelect(true);
    ListView2->SetRowsDraggable(true);
    ListView2->SetPopupMenu(PopupMenu1);
    // "Size", "Modified" and "Attrib" as designed; "Name" and "Type" wide enough for common
    // names and type names ("plain text document").
    ui::SetScaledColumnWidths(*ListView2->ReportView(),
                              {{0, 200}, {1, 100}, {2, 150}, {3, 120}, {4, 100}});

    ListView3 = new QTreeView(this);
    ListView3->setObjectName(QStringLiteral("ListView3"));
    ListView3->setAccessibleName(QStringLiteral("Information"));
    ListView3->setRootIsDecorated(false);
    ListView3->setUniformRowHeights(true);
    ListView3->setHeaderHidden(true);
    ListView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    InfoItems = new QStandardItemModel(0, 1, ListView3);
    InfoItems->setHorizontalHeaderLabels({QStringLiteral("Information")});
    ListView3->setModel(InfoItems);
    ListView3->setContextMenuPolicy(Qt::CustomContextMenu);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("Export tree"));
    TreeView1->setVisible(false);
}

void TfbComponents::BuildProgressPanel() {
    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* row = new QHBoxLayout(Panel3);
    row->setContentsMargins(4, 2, 4, 2);
    Label1 = new QLabel(QStringLiteral("Completed"), Panel3);
    Label1->setObjectName(QStringLiteral("Label1"));
    Panel5 = new QLabel(QStringLiteral("0/0"), Panel3);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Gauge1 = new QProgressBar(Panel3);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Label2 = new QLabel(QStringLiteral("Speed:"), Panel3);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("0KB/S"), Panel3);
    Label3->setObjectName(QStringLiteral("Label3"));
    row->addWidget(Label1);
    row->addWidget(Panel5);
    row->addWidget(Gauge1, 1);
    row->addWidget(Label2);
    row->addWidget(Label3);
    Panel3->setVisible(false);
}

void TfbComponents::LayOut() {
    // Log on top, then the tool bar over the remote list taking the free room, then the queue
    // with the progress panel under it; the splitter's handles move the boundaries.
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    page->addWidget(Splitter1);

    Splitter1->addWidget(ListView3);

    Panel1 = new QWidget(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* middle = new QVBoxLayout(Panel1);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(ToolBar1);
    middle->addWidget(ListView2, 1);
    Splitter1->addWidget(Panel1);

    Panel2 = new QWidget(Splitter1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* bottom = new QVBoxLayout(Panel2);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    bottom->addWidget(ListView1, 1);
    bottom->addWidget(Panel3);
    Splitter1->addWidget(Panel2);

    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setStretchFactor(2, 0);
    Splitter1->setSizes({93, 300, 137});
}
