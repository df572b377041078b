#include "platform/ui/help_service.h"

#include <QApplication>
#include <QMainWindow>

#include "platform/ui/help_viewer.h"

namespace ui {

namespace {

HelpService*& InUse() {
    static QtHelpService qt;
    static HelpService* service = &qt;
    return service;
}

std::string& FileName() {
    static std::string name;
    return name;
}

constexpr const char* kHelpFileName = "Zantrope.hlp";

// Who the help window belongs to now: the modal dialog in front, else the main window.
QWidget* ViewerOwner() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}

}  // namespace

QtHelpService::~QtHelpService() {
    // A window left at the program's end, after the application object, is left to the
    // system: widgets cannot be deleted then.
    if (viewer_ != nullptr && QCoreApplication::instance() != nullptr)
        delete viewer_.data();
}

THelpViewer* QtHelpService::Viewer() const {
    return viewer_;
}

THelpViewer& QtHelpService::ShownViewer() {
    QWidget* owner = ViewerOwner();
    if (viewer_ == nullptr) {
        viewer_ = new THelpViewer(owner);
    } else if (viewer_->parentWidget() != owner) {
        viewer_->setParent(owner, Qt::Window);
    }
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
    return *viewer_;
}

void QtHelpService::ShowTopic(const std::string& helpFile, const std::string& topic) {
    ShownViewer().ShowTopic(helpFile, topic);
}

void QtHelpService::ShowFinder(const std::string& helpFile) {
    ShownViewer().ShowFinder(helpFile);
}

const std::string& ApplicationHelpFile() {
    return FileName();
}

void SetApplicationHelpFile(const std::string& path) {
    FileName() = path;
}

HelpService& CurrentHelpService() {
    return *InUse();
}

ScopedHelpService::ScopedHelpService(HelpService& service)
    : previous_(InUse()), previousFile_(FileName()) {
    InUse() = &service;
}

ScopedHelpService::~ScopedHelpService() {
    InUse() = previous_;
    FileName() = previousFile_;
}

void HelpJump(const std::string& programFolder, const std::string& topic) {
    SetApplicationHelpFile(programFolder + kHelpFileName);
    CurrentHelpService().ShowTopic(ApplicationHelpFile(), topic);
}

void HelpFinder(const std::string& programFolder) {
    SetApplicationHelpFile(programFolder + kHelpFileName);
    CurrentHelpService().ShowFinder(ApplicationHelpFile());
}

}  // namespace ui
