#pragma once
// Everything the program needs from Windows, in one place. The real implementation lives in
// win32/, an in-memory one for tests in fake/.

#include "platform/Display.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace platform {

struct Platform {
    Registry& registry;
    Display& display;
    Shell& shell;
    System& system;
    Files& files;
    MessageBoxes& boxes;
    FileDialogs& dialogs;
};

}  // namespace platform
