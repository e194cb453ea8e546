#include "builder/ui/help_viewer.h"
#include "builder/ui/message_box.h"
#include "builder/ui/resource_ids.h"

namespace kestrel {

// Stand-in until the help is written: says that there is none.
bool OpenHelp(HWND owner) {
    ShowResourceError(owner, IDS_ERROR, IDS_HELP_MISSING);
    return false;
}

}  // namespace kestrel
