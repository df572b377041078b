#pragma once
// What the duplicate-file dialog needs of the page that asked it: that page's answers (the
// only page fields the dialog writes) and the two checks of a rename. The page implements
// it, so that the dialog never reaches into the page itself.
#include <string>

#include "connection/duplicate_answers.h"

class TDuplicateAsker {
  public:
    virtual ~TDuplicateAsker() = default;

    // The asking page's answers.
    virtual TDuplicateAnswers& DuplicateAnswers() = 0;
    // True when the server's current folder holds an item of exactly that name (the page's
    // FindRemoteItem without details: the folder is listed anew). Throws what the listing
    // throws.
    virtual bool RemoteItemExists(const std::string& name) = 0;
    // The page's check of a new name (CheckNewName, with its own message boxes); true when
    // the name may be used.
    virtual bool CheckNewName(const std::string& name) = 0;

  protected:
    TDuplicateAsker() = default;
    TDuplicateAsker(const TDuplicateAsker&) = default;
    TDuplicateAsker& operator=(const TDuplicateAsker&) = default;
};
