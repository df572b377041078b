#pragma once
// The modal dialogs a connection page opens, as the page sees them: each is preset from and
// writes its result into the page that asks (its fields or its queue), and returns the modal
// result (ui/modal_result.h). The dialogs folder implements them, so that the page never
// includes a dialog; a test gives the page scripted answers.
class Tfb;

class TPageDialogs {
  public:
    virtual ~TPageDialogs() = default;

    // The duplicate-name question for the clash the page has put into its fields; the
    // answer is the modal result (rename, cancel, resume, append, overwrite or skip).
    virtual int AskDuplicate(Tfb& page) = 0;
    // The download target for the page's selected entries; queues them on OK.
    virtual int ShowDownloadTarget(Tfb& page) = 0;
    virtual int ShowFind(Tfb& page) = 0;
    virtual int ShowFilter(Tfb& page) = 0;
    virtual int ShowPermissions(Tfb& page) = 0;
    virtual int ShowBookmarkManager(Tfb& page) = 0;
    // The task dialog preset with the page's remote selection (MakeAddTaskPreset,
    // connection/add_task_preset.h).
    virtual int ShowAddTask(Tfb& page) = 0;

  protected:
    TPageDialogs() = default;
    TPageDialogs(const TPageDialogs&) = default;
    TPageDialogs& operator=(const TPageDialogs&) = default;
};
