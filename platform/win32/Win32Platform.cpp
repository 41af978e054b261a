#include "platform/win32/Win32Platform.h"

namespace platform {

Platform Win32Platform::Os() {
    return Platform{registry_, display_, shell_, system_, files_, boxes_, dialogs_};
}

}  // namespace platform
