#include "platform/win32/Win32FileDialogs.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include "platform/win32/WideText.h"

namespace platform {
namespace {

// Room for the longest path the wide file calls take.
constexpr DWORD kPathRoom = 32768;

std::optional<std::string> Choose(const FileDialog& dialog, bool save) {
    // The filter is pairs of NUL-ended texts, the list ended by one more NUL: the name shown,
    // then the pattern.
    const WideString pattern = ToWide("*." + dialog.extension);
    WideString filter = ToWide(dialog.filterName) + L" (" + pattern + L")";
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
    const WideString title = ToWide(dialog.title);
    const WideString extension = ToWide(dialog.extension);
    WideString path = ToWide(dialog.fileName);
    path.resize(kPathRoom, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    // Owned by the active window of ours, which is disabled while the dialog is open: no second
    // dialog and no other command meanwhile.
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();  // its own terminator ends the list
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathRoom;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.c_str();
    // The program finds its own files from the current directory: the dialog must not move it.
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return std::nullopt;
    return PathFromWide(path);
}

}  // namespace

std::optional<std::string> Win32FileDialogs::ChooseFileToOpen(const FileDialog& dialog) {
    return Choose(dialog, false);
}

std::optional<std::string> Win32FileDialogs::ChooseFileToSave(const FileDialog& dialog) {
    return Choose(dialog, true);
}

}  // namespace platform
