#pragma once
// The page's side of a name clash of its queue run: looking an item up in the server's
// current folder, settling a clash by the run's standing answer or by the duplicate-file
// dialog, and what that dialog needs of the page that asked it (TDuplicateAsker).
//
// The question is the page's own: the dialog gets this object, so a question shown while
// another page's tab is in front still answers the page that asked, and no other.
#include <string>

#include "connection/duplicate_answers.h"
#include "connection/duplicate_asker.h"
#include "connection/duplicate_presets.h"
#include "shared/rtmpinfo.h"

class TPageDialogs;
class Tfb;

class TDuplicateQuestion : public TDuplicateAsker {
  public:
    // `page` and `answers` (the page's) must outlive the object.
    TDuplicateQuestion(Tfb& page, TDuplicateAnswers& answers);

    // Lists the server's current folder anew and returns the index of the first item named
    // exactly `name` (byte for byte), or -1. Unless `noDetails`, the item's size and modified
    // time ("yyyy-mm-dd hh:mm:ss") go into `info`. Throws what LIST throws; `info` is then
    // unchanged. The caller holds an exchange.
    int FindRemoteItem(const std::string& name, rtmpinfo& info, bool noDetails);

    // Settles one clash. The page's FResumeOffset and FResumeRemaining are cleared first and
    // set again only for a resume answer to a file download whose local file is shorter (the
    // only one the dialog offers, and only when the page's component is in binary type: a
    // text download is never resumed); a resume answer nothing offered comes back as skip. With
    // the question switched off the standing answer is given without a dialog; without
    // `dialogs` the answer is Cancel. Throws what the dialog throws.
    TDuplicateCode Ask(const rtmpinfo& info, bool isFolder, bool isDownload, TPageDialogs* dialogs);

    // What the dialog of the clash being asked shows.
    const TDuplicatePresets& Presets() const { return presets_; }

    // ---- TDuplicateAsker ----
    TDuplicateAnswers& DuplicateAnswers() override { return answers_; }
    // The page's FindRemoteItem without details, under an exchange of the page.
    bool RemoteItemExists(const std::string& name) override;
    // CheckNewName (new_name_check.h), "shown" being a row of the page's remote list.
    bool CheckNewName(const std::string& name) override;

  private:
    Tfb& page_;
    TDuplicateAnswers& answers_;
    TDuplicatePresets presets_;
};
