#pragma once
// Running a recorded transfer again: the site of the record is looked up by its id, its page
// opened (created and connected, shown again, or only activated), and one queue entry for the
// same item, direction and folders put on that page's queue; a connected page that is not
// running its queue starts it (a download without, an upload with the remote list refreshed
// afterwards). An entry still queued is not queued twice; a page that is running takes the new
// entry up in its run; a disconnected page keeps it queued.
//
// Refusals are error boxes with OK through the ui services, and nothing is queued: the site is
// gone ("Can not read the information of the FTP site."); a download's local folder cannot be
// made, or the stored local name is not a plain name, which would put the file outside that
// folder ("Can not create the folder %s, please check and enter again.", with the stored full
// local path); an upload's local file or folder is gone, or its stored path is not absolute
// ("The file %s was not exists."). What the tables, opening the page or the run throw passes on.
#include <functional>
#include <string>

#include "mainwindow/history_record.h"

class Tdm;
class Tfb;

class THistoryRerun {
  public:
    // `openSitePage` opens the page of a site by name (quick-connect off), makes it active and
    // gives that page's frame, or nullptr when it has none or was closed while it opened (the
    // entry then goes nowhere: the page active by then may be another site's).
    THistoryRerun(std::function<Tdm&()> data, std::function<Tfb*(const std::string&)> openSitePage);

    // Takes its own copy: opening the page pumps window events, and a refresh of the history
    // page meanwhile discards the tree's records.
    void Execute(rhd record);

  private:
    void Download(Tfb& page, const rhd& record);
    void Upload(Tfb& page, const rhd& record);

    std::function<Tdm&()> data_;
    std::function<Tfb*(const std::string&)> openSitePage_;
};
