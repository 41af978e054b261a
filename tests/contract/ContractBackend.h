#pragma once
// The Windows a contract test runs against. Each test binary links one backend: the in-memory
// fake natively, the real calls under Wine. Besides the platform itself a backend offers the
// few ways of preparing and watching the world that the platform does not have, so that one
// test source states the same expectations of both.

#include <string>

#include "platform/Platform.h"

namespace contract {

// Everything a registry test writes lives below this key under HKEY_LOCAL_MACHINE.
inline const std::string kScratchKey = "SOFTWARE\\CadenzoContractTest";

class Backend {
public:
    virtual ~Backend() = default;

    virtual platform::Platform& Os() = 0;

    // Stores a REG_SZ value as "reg.exe add" does: with its terminating NUL. Like every
    // registry access of the backend, it works on the registry that 64-bit programs see.
    virtual void AddStringLikeRegExe(const std::string& key, const std::string& name,
                                     const std::string& text) = 0;
    // Whether "reg.exe query" finds the value.
    virtual bool RegExeFinds(const std::string& key, const std::string& name) = 0;

    // Makes a new empty directory the current one and returns its full path.
    virtual std::string EnterScratchDirectory() = 0;
    // Goes back to the previous current directory and removes the scratch one with its files.
    virtual void LeaveScratchDirectory() = 0;
    // Another program holds a file of the scratch directory open, sharing it for reading only,
    // until the directory is left.
    virtual void HoldOpenForReading(const std::string& name) = 0;

    // Presses `button` on the next message box with this caption once it shows.
    virtual void PressOnNextBox(const std::string& caption, platform::Answer button) = 0;
    // The text of the box that the last PressOnNextBox pressed on.
    virtual std::string PressedBoxText() = 0;
};

Backend& TheBackend();

}  // namespace contract
