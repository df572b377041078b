#include "dialogs/dialogs_host.h"

#include "connection/page_host.h"
#include "connection/tfb.h"

Tfb* TDialogsHost::ActivePage() const {
    for (Tfb* page : Pages()) {
        if (page->Host().IsActivePage(*page))
            return page;
    }
    return nullptr;
}
