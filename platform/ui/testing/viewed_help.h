#pragma once
// For tests only: the program's help service, the real help window, shown from a help file the
// test names in place of the one the command asks for (the program's folder of a test is the
// test program's). Each request is recorded as RecordedHelp records it. While the object lives
// it is the service in use; afterwards the previous service and help file name are back, and
// its window is gone.
#include <string>
#include <vector>

#include "platform/ui/help_service.h"
#include "platform/ui/help_viewer.h"
#include "platform/ui/testing/recorded_help.h"

namespace ui {

class ViewedHelp : public HelpService {
  public:
    explicit ViewedHelp(std::string shownFile)
        : shownFile_(std::move(shownFile)), installed_(*this) {}

    void ShowTopic(const std::string& helpFile, const std::string& topic) override {
        requests.push_back({helpFile, topic});
        service_.ShowTopic(shownFile_, topic);
    }
    void ShowFinder(const std::string& helpFile) override {
        requests.push_back({helpFile, "<finder>"});
        service_.ShowFinder(shownFile_);
    }

    // The help window; null before the first request or after its owner went.
    THelpViewer* Viewer() const { return service_.Viewer(); }

    std::vector<HelpRequest> requests;

  private:
    std::string shownFile_;
    QtHelpService service_;
    ScopedHelpService installed_;
};

}  // namespace ui
