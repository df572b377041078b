#include "platform/ui/shell_list_view.h"

#include <dirent.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QListView>
#include <QPalette>
#include <QTreeView>

#include "platform/os/mount_points.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/qt_text.h"

namespace ui {

namespace {

// Whether the process can list the folder: the test the view's root must pass.
bool CanOpenFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr)
        return false;
    ::closedir(folder);
    return true;
}

std::string Normalised(const std::string& path, const std::string& base) {
    QString text = ToQt(path);
    if (!text.startsWith(QLatin1Char('/')))
        text = ToQt(base) + QLatin1Char('/') + text;
    return FromQt(QDir::cleanPath(text));
}

}  // namespace

EShellPathError::EShellPathError(const std::string& path)
    : std::runtime_error("Error setting path: \"" + path + "\"") {}

ShellListView::ShellListView(QWidget* parent)
    : ListView(parent), iconProvider_(std::make_unique<QFileIconProvider>()) {
    SetMultiSelect(true);
    SetRowsDraggable(true);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(ReportView()),
                                    static_cast<QAbstractItemView*>(IconView())}) {
        view->setEditTriggers(QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed);
        // The selection stays visible when the list has no focus.
        QPalette palette = view->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
            palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
        }
        view->setPalette(palette);
    }
    const std::string home = os::HomeFolder();
    ShowFolder(CanOpenFolder(home) ? home : "/");
}

ShellListView::~ShellListView() {
    // The models, a replaced one waiting for its deferred delete among them, go before the
    // icon provider their readers use.
    qDeleteAll(findChildren<QFileSystemModel*>(Qt::FindDirectChildrenOnly));
    files_ = nullptr;
}

void ShellListView::SetRoot(const std::string& path) {
    const std::string folder = Normalised(path, root_);
    if (path.empty() || !CanOpenFolder(folder))
        throw EShellPathError(path);
    ShowFolder(folder);
}

void ShellListView::Refresh() {
    SetRoot(root_);
}

// A new model for every folder: the model reads a folder once and keeps it, and a fresh one
// reads the folder as it is now, with one load signal to wait for.
void ShellListView::ShowFolder(const std::string& path) {
    QFileSystemModel* previous = files_;
    files_ = new QFileSystemModel(this);
    files_->setObjectName(QStringLiteral("LocalFiles"));
    files_->setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    files_->setReadOnly(false);
    files_->setIconProvider(iconProvider_.get());
    root_ = path;
    loaded_ = false;
    const QString folder = ToQt(path);
    connect(files_, &QFileSystemModel::directoryLoaded, this, [this, folder](const QString& done) {
        if (done != folder || loaded_)
            return;
        loaded_ = true;
        emit FolderLoaded();
    });
    const QModelIndex root = files_->setRootPath(folder);
    SetModel(files_);
    SetRootIndex(root);
    // Name and size fit a pane of the left side's default 307 pixels; type and date follow.
    SetScaledColumnWidths(*ReportView(), {{0, 150}, {1, 70}, {2, 110}, {3, 120}});
    if (previous != nullptr) {
        previous->disconnect(this);
        previous->deleteLater();
    }
}

bool ShellListView::IsFolder(int item) const {
    const QModelIndex index = RowIndex(item);
    return index.isValid() && files_->isDir(index);
}

std::string ShellListView::ItemPath(int item) const {
    const QModelIndex index = RowIndex(item);
    return index.isValid() ? FromQt(files_->filePath(index)) : std::string();
}

std::int64_t ShellListView::ItemSize(int item) const {
    const QModelIndex index = RowIndex(item);
    if (!index.isValid() || files_->isDir(index))
        return 0;
    return static_cast<std::int64_t>(files_->size(index));
}

}  // namespace ui
