#include "platform/ui/help_service.h"

#include "platform/ui/ui_services.h"

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

}  // namespace

void QtHelpService::ShowTopic(const std::string& helpFile, const std::string& topic) {
    MessageDlg("Cannot open the help topic \"" + topic + "\": " + helpFile + " cannot be shown.",
               MessageKind::kError, mbOK);
}

void QtHelpService::ShowFinder(const std::string& helpFile) {
    MessageDlg("Cannot open the help topics: " + helpFile + " cannot be shown.",
               MessageKind::kError, mbOK);
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
