#include "services/Restart.h"

namespace {

void ShowNoPrivilege(platform::Platform& os) {
    platform::ShowNotice(os.boxes, NoShutdownPrivilegeText, NoShutdownPrivilegeCaption);
}

}  // namespace

bool IsWindows9x(std::uint32_t version) { return (version & 0x80000000u) != 0; }

void EnableShutdownPrivilege(platform::Platform& os, bool tell) {
    if (IsWindows9x(os.system.Version())) return;
    platform::TokenHandle token = 0;
    bool opened = os.system.OpenProcessToken(&token);
    if (!opened && tell) ShowNoPrivilege(os);
    std::uint64_t luid = 0;
    if (!os.system.LookupPrivilege(ShutdownPrivilegeName, &luid) && tell) ShowNoPrivilege(os);
    os.system.EnablePrivilege(token, luid);
    if (os.system.LastError() != 0 && tell) ShowNoPrivilege(os);
    if (opened) os.system.CloseToken(token);
}

bool RestartWindows(platform::Platform& os, const std::optional<Notice>& failure) {
    EnableShutdownPrivilege(os, failure.has_value());
    // A restart nobody watches must not wait for an unsaved document's question in another
    // program: nobody may be able to see it.
    std::uint32_t flags = platform::EwxReboot | (failure ? 0 : platform::EwxForceIfHung);
    if (os.system.ExitWindowsEx(flags)) return true;
    if (failure) {
        platform::ShowNotice(os.boxes, failure->text, failure->caption);
    }
    return false;
}

std::string CheckCommand(const std::string& installDir) {
    return "\"" + installDir + "\\Cadenzo.exe\" " + CheckSwitch;
}
