#pragma once
// The program's help: the application's help file name and the help service that shows a
// topic of it or its topics finder. Every help command first makes the help file name the
// program's folder + "Zantrope.hlp" (the name is empty at start), then asks the service in
// use. The program uses QtHelpService; tests install a recording double
// (testing/recorded_help.h). A missing file or topic is the service's to report.
#include <QPointer>

#include <string>

namespace ui {

class HelpService {
  public:
    virtual ~HelpService() = default;
    // Shows the topic with that context name of `helpFile`.
    virtual void ShowTopic(const std::string& helpFile, const std::string& topic) = 0;
    // Shows the topics finder of `helpFile`.
    virtual void ShowFinder(const std::string& helpFile) = 0;
};

class THelpViewer;

// The program's service: shows the help window (help_viewer.h), one per service, made when
// first asked for and brought to the front by every request. The window belongs to the modal
// dialog in front when there is one (so it can be used while that dialog waits, and goes
// with it), else to the program's main window (so it never keeps the program running), else
// it stands alone; the service deletes a window still open when it goes itself.
class QtHelpService : public HelpService {
  public:
    QtHelpService() = default;
    ~QtHelpService() override;
    QtHelpService(const QtHelpService&) = delete;
    QtHelpService& operator=(const QtHelpService&) = delete;

    void ShowTopic(const std::string& helpFile, const std::string& topic) override;
    void ShowFinder(const std::string& helpFile) override;

    // The help window, null before the first request and after its owner went.
    THelpViewer* Viewer() const;

  private:
    THelpViewer& ShownViewer();

    QPointer<THelpViewer> viewer_;
};

// The application's help file name ("" until a help command sets it).
const std::string& ApplicationHelpFile();
void SetApplicationHelpFile(const std::string& path);

// The help service in use; never null.
HelpService& CurrentHelpService();

// Puts `service` in use for its lifetime and restores the previous one and the help file name
// afterwards. The service must outlive the object.
class ScopedHelpService {
  public:
    explicit ScopedHelpService(HelpService& service);
    ~ScopedHelpService();
    ScopedHelpService(const ScopedHelpService&) = delete;
    ScopedHelpService& operator=(const ScopedHelpService&) = delete;

  private:
    HelpService* previous_;
    std::string previousFile_;
};

// The help commands: make `programFolder` + "Zantrope.hlp" the help file, then show `topic`
// (HelpJump) or the topics finder (HelpFinder).
void HelpJump(const std::string& programFolder, const std::string& topic);
void HelpFinder(const std::string& programFolder);

}  // namespace ui
