#pragma once
// A small in-memory Windows for tests: one of each fake, wired together.

#include "platform/Platform.h"
#include "platform/fake/FakeDisplay.h"
#include "platform/fake/FakeFileDialogs.h"
#include "platform/fake/FakeFiles.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeShell.h"
#include "platform/fake/FakeSystem.h"

namespace platform {

struct FakeWindows {
    FakeRegistry registry;
    FakeDisplay display;
    FakeShell shell;
    FakeSystem system;
    FakeFiles files{system.currentDirectory};
    FakeMessageBoxes boxes;
    FakeFileDialogs dialogs;

    FakeWindows() { files.AddDirectory(system.currentDirectory); }
    FakeWindows(const FakeWindows&) = delete;
    FakeWindows& operator=(const FakeWindows&) = delete;

    Platform Os() { return Platform{registry, display, shell, system, files, boxes, dialogs}; }
};

}  // namespace platform
