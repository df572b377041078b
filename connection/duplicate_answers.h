#pragma once
// The duplicate-name answers of one connection page: what the duplicate-file dialog writes
// back into the page that asked it, and the standing "all" answers of the page's queue run.
// The page owns one; the dialog is given that one, so a question shown while another page's
// tab is in front still answers the page that asked.
#include <cstdint>
#include <string>

struct TDuplicateAnswers {
    // The new name of the last rename answer; read only right after a rename answer.
    std::string FRenameTo;
    // True: ask each clash. False: FDuplicateAnswer stands for every clash until the run ends.
    bool FAskDuplicate = true;
    // The standing answer as a modal result: -1 none, 6 overwrite all, 7 skip all.
    std::int32_t FDuplicateAnswer = -1;

    // Back to asking (the run's wrap and its error path).
    void Reset() {
        FAskDuplicate = true;
        FDuplicateAnswer = -1;
    }
};

// The page's codes for the dialog's answers, and the modal result each comes from.
enum class TDuplicateCode {
    kRename = 0,     // modal result 1: transfer under FRenameTo
    kCancel = 1,     // 2: skip this entry, go on with the next
    kOverwrite = 2,  // 6: replace the existing item
    kSkip = 3,       // 7: skip this entry
    kAppend = 4,     // 5: skip this entry
    kResume = 5,     // 4: file downloads resume; anything else skips
};

// The code of a modal result of the dialog; any result not in the table (a dialog closed
// some other way) is Cancel.
TDuplicateCode DuplicateCodeOf(int modalResult);
