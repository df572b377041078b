#pragma once
// For tests only: the global-state probes of the dialogs (the `Form2` ... `Form18` globals of
// the dialogs built so far) on top of those of the layers below.
#include <sstream>
#include <string>

#include "dialogs/about_dialog.h"
#include "dialogs/bookmark_manager.h"
#include "dialogs/duplicate_dialog.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/find_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/permissions_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "dialogs/quick_connect_dialog.h"
#include "dialogs/site_dialog.h"
#include "dialogs/socks_dialog.h"
#include "shared/testing/shared_probes.h"

namespace dialogs::testing {

inline const bool kDialogGlobalsProbe = os::testing::RegisterGlobalStateProbe(
    "the dialog globals Form2, Form4, Form5, Form7, Form15, Form17, Form9, Form18, Form3, Form6, "
    "Form16",
    [] {
        std::ostringstream text;
        text << Form2 << " " << Form4 << " " << Form5 << " " << Form7 << " " << Form15 << " "
             << Form17;
        text << " " << Form9;
        text << " " << Form18;
        text << " " << Form3 << " " << Form6 << " " << Form16;
        return text.str();
    });

}  // namespace dialogs::testing
