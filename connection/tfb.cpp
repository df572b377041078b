#include "connection/tfb.h"

#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "connection/page_host.h"
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

Tfb::Tfb(TPageHost& host, QWidget* parent)
    : QWidget(parent),
      Timer1(new QTimer(this)),
      Timer2(new QTimer(this)),
      ListView1(MakeList(this, "ListView1")),
      ListView2(new ui::ListView(this)),
      ListView3(MakeList(this, "ListView3")),
      host_(host) {
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
    lifetime_.Reopen();
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

std::exception_ptr Tfb::EndSession() {
    std::exception_ptr layoutError;
    try {
        host_.SavePageLayout(*this);
    } catch (...) {
        layoutError = std::current_exception();
    }
    Timer1->stop();
    Timer2->stop();
    try {
        Disconnect();
    } catch (...) {
        // No QUIT is sent and the socket goes either way: the close goes on.
    }
    return layoutError;
}

std::exception_ptr Tfb::ClosePage() {
    // Marked first: a run that the disconnect lets pump must already see the page closed.
    lifetime_.MarkClosed();
    std::exception_ptr layoutError = EndSession();
    ClearLists();
    return layoutError;
}

std::exception_ptr Tfb::ShutDown(QWidget* container) {
    QObject* doomed = container != nullptr ? static_cast<QObject*>(container) : this;
    // Marked first, as in ClosePage. The release is deferred as well: it may come from the
    // end of a run whose handler is still on the stack.
    lifetime_.ShutDown([doomed] { doomed->deleteLater(); });
    return EndSession();
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
