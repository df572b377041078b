#pragma once
// For tests only: a help service that records each help request (file and topic; the finder
// as the topic "<finder>") instead of showing anything. While it lives it is the service in
// use; afterwards the previous service and help file name are back.
#include <ostream>
#include <string>
#include <vector>

#include "platform/ui/help_service.h"

namespace ui {

struct HelpRequest {
    std::string file;
    std::string topic;
    bool operator==(const HelpRequest&) const = default;
};

class RecordedHelp : public HelpService {
  public:
    RecordedHelp() : installed_(*this) {}

    void ShowTopic(const std::string& helpFile, const std::string& topic) override {
        requests.push_back({helpFile, topic});
    }
    void ShowFinder(const std::string& helpFile) override {
        requests.push_back({helpFile, "<finder>"});
    }

    std::vector<HelpRequest> requests;

  private:
    ScopedHelpService installed_;
};

inline void PrintTo(const HelpRequest& request, std::ostream* out) {
    *out << "{\"" << request.file << "\", \"" << request.topic << "\"}";
}

}  // namespace ui
