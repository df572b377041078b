#include "connection/duplicate_answers.h"

#include "platform/ui/modal_result.h"

TDuplicateCode DuplicateCodeOf(int modalResult) {
    switch (modalResult) {
        case ui::mrOk:
            return TDuplicateCode::kRename;
        case ui::mrYes:
            return TDuplicateCode::kOverwrite;
        case ui::mrNo:
            return TDuplicateCode::kSkip;
        case ui::mrIgnore:
            return TDuplicateCode::kAppend;
        case ui::mrRetry:
            return TDuplicateCode::kResume;
        default:
            // Cancel, and nothing else can reach here: closing the window gives Cancel too.
            return TDuplicateCode::kCancel;
    }
}
