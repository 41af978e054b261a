#pragma once
// The real Windows behind the platform boundary: one of each part, for the whole process.

#include "platform/Platform.h"
#include "platform/win32/Win32Display.h"
#include "platform/win32/Win32FileDialogs.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"

namespace platform {

class Win32Platform {
public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform Os();

private:
    Win32Registry registry_;
    Win32Display display_;
    Win32Shell shell_;
    Win32System system_;
    Win32Files files_;
    Win32MessageBoxes boxes_;
    Win32FileDialogs dialogs_;
};

}  // namespace platform
