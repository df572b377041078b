#include "connection/tfb.h"

#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/ui/list_view.h"

namespace {

QTreeView* MakeList(QWidget* parent, const char* name) {
    auto* list = new QTreeView(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setModel(new QStandardItemModel(list));
    return list;
}

void ClearModel(QAbstractItemModel* model) {
    if (auto* items = qobject_cast<QStandardItemModel*>(model))
        items->removeRows(0, items->rowCount());
}

}  // namespace

Tfb::Tfb(QWidget* parent)
    : QWidget(parent),
      Timer1(new QTimer(this)),
      Timer2(new QTimer(this)),
      ListView1(MakeList(this, "ListView1")),
      ListView2(new ui::ListView(this)),
      ListView3(MakeList(this, "ListView3")) {
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2->setObjectName(QStringLiteral("Timer2"));
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->SetModel(new QStandardItemModel(ListView2));
    // Remote list on top taking the free room, the queue and the log below it at their saved
    // heights.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ListView2, 1);
    layout->addWidget(ListView1);
    layout->addWidget(ListView3);
}

Tfb::~Tfb() = default;

void Tfb::ConnectSite(bool /*quickConnect*/) {
    ++connectCount_;
}

void Tfb::Disconnect() {
    connected_ = false;
}

void Tfb::ClearLists() {
    ClearModel(ListView1->model());
    ClearModel(ListView2->Model());
    ClearModel(ListView3->model());
}

int Tfb::LogHeight() const {
    return ListView3->height();
}

void Tfb::SetLogHeight(int height) {
    ListView3->setFixedHeight(height);
}

int Tfb::QueueHeight() const {
    return ListView1->height();
}

void Tfb::SetQueueHeight(int height) {
    ListView1->setFixedHeight(height);
}
