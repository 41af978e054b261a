// displayinfo: prints what Windows (or Wine) reports about display devices
// and display modes, and tries mode changes. A helper for the test rig and
// for anyone checking what the program will see on a machine.
//
//   displayinfo devices              adapters (and their monitors)
//   displayinfo key                  DeviceKey of adapter 0, alone on a line
//   displayinfo modes [raw] [DEV]    modes of DEV (default \\.\DISPLAY1);
//                                    "raw" passes EDS_RAWMODE
//   displayinfo current [DEV]        the mode in force
//   displayinfo registry [DEV]       the mode stored in the registry
//                                    (ENUM_REGISTRY_SETTINGS)
//   displayinfo set W H HZ [test|store]
//                                    ChangeDisplaySettingsA, full record;
//                                    "store" adds CDS_UPDATEREGISTRY
//   displayinfo setrate HZ [test|store]
//                                    ChangeDisplaySettingsA, frequency only
//
// Output is one record per line, "field=value" separated by tabs, so that
// shell scripts can grep and cut it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kDefaultDevice[] = "\\\\.\\DISPLAY1";

void PrintDevice(const char* kind, DWORD index, const DISPLAY_DEVICEA& dd) {
    std::printf("%s\t%lu\tname=%s\tstring=%s\tflags=0x%08lx\tkey=%s\tid=%s\n", kind,
                static_cast<unsigned long>(index), dd.DeviceName, dd.DeviceString,
                static_cast<unsigned long>(dd.StateFlags), dd.DeviceKey, dd.DeviceID);
}

int ListDevices() {
    DISPLAY_DEVICEA adapter{};
    adapter.cb = sizeof adapter;
    DWORD i = 0;
    for (; EnumDisplayDevicesA(nullptr, i, &adapter, 0); ++i) {
        PrintDevice("adapter", i, adapter);
        DISPLAY_DEVICEA monitor{};
        monitor.cb = sizeof monitor;
        for (DWORD m = 0; EnumDisplayDevicesA(adapter.DeviceName, m, &monitor, 0); ++m)
            PrintDevice("monitor", m, monitor);
        adapter = DISPLAY_DEVICEA{};
        adapter.cb = sizeof adapter;
    }
    std::printf("adapters=%lu\n", static_cast<unsigned long>(i));
    return i > 0 ? 0 : 1;
}

int PrintDriverKey() {
    DISPLAY_DEVICEA dd{};
    dd.cb = sizeof dd;
    if (!EnumDisplayDevicesA(nullptr, 0, &dd, 0)) {
        std::fprintf(stderr, "no display device 0\n");
        return 1;
    }
    std::printf("%s\n", dd.DeviceKey);
    return 0;
}

// The program reads modes through a DEVMODEA with room for 2048 bytes of
// driver data behind it; do the same so that the rig sees what it sees.
struct ModeBuffer {
    DEVMODEA mode;
    unsigned char driverExtra[2048];
};

void PrepareMode(ModeBuffer& buf) {
    std::memset(&buf, 0, sizeof buf);
    buf.mode.dmSize = sizeof(DEVMODEA);
    buf.mode.dmDriverExtra = sizeof buf.driverExtra;
}

void PrintMode(const char* kind, long index, const DEVMODEA& m) {
    std::printf(
        "%s\t%ld\t%lux%lu\tbpp=%lu\thz=%lu\tfields=0x%08lx\tflags=0x%lx\n", kind, index,
        static_cast<unsigned long>(m.dmPelsWidth), static_cast<unsigned long>(m.dmPelsHeight),
        static_cast<unsigned long>(m.dmBitsPerPel),
        static_cast<unsigned long>(m.dmDisplayFrequency), static_cast<unsigned long>(m.dmFields),
        static_cast<unsigned long>(m.dmDisplayFlags));
}

int ListModes(bool raw, const char* device) {
    ModeBuffer buf;
    PrepareMode(buf);
    DWORD flags = raw ? EDS_RAWMODE : 0;
    DWORD i = 0;
    for (; i <= 65535; ++i) {
        if (!EnumDisplaySettingsExA(device, i, &buf.mode, flags)) break;
        PrintMode("mode", static_cast<long>(i), buf.mode);
    }
    std::printf("modes=%lu\n", static_cast<unsigned long>(i));
    return i > 0 ? 0 : 1;
}

// ENUM_CURRENT_SETTINGS or ENUM_REGISTRY_SETTINGS, printed as "current" or "registry".
int PrintSettings(DWORD which, const char* device) {
    const bool registry = which == ENUM_REGISTRY_SETTINGS;
    ModeBuffer buf;
    PrepareMode(buf);
    if (!EnumDisplaySettingsExA(device, which, &buf.mode, 0)) {
        std::fprintf(stderr, "no %s mode for %s\n", registry ? "stored" : "current", device);
        return 1;
    }
    PrintMode(registry ? "registry" : "current", registry ? -2 : -1, buf.mode);
    return 0;
}

const char* ChangeResultName(LONG r) {
    switch (r) {
        case DISP_CHANGE_SUCCESSFUL:
            return "DISP_CHANGE_SUCCESSFUL";
        case DISP_CHANGE_RESTART:
            return "DISP_CHANGE_RESTART";
        case DISP_CHANGE_FAILED:
            return "DISP_CHANGE_FAILED";
        case DISP_CHANGE_BADMODE:
            return "DISP_CHANGE_BADMODE";
        case DISP_CHANGE_NOTUPDATED:
            return "DISP_CHANGE_NOTUPDATED";
        case DISP_CHANGE_BADFLAGS:
            return "DISP_CHANGE_BADFLAGS";
        case DISP_CHANGE_BADPARAM:
            return "DISP_CHANGE_BADPARAM";
        case DISP_CHANGE_BADDUALVIEW:
            return "DISP_CHANGE_BADDUALVIEW";
        default:
            return "unknown";
    }
}

// "test": CDS_TEST; "store": CDS_UPDATEREGISTRY, the mode also stored for the next start.
DWORD ChangeFlags(int argc, char** argv, int at) {
    if (at >= argc) return 0;
    if (std::strcmp(argv[at], "test") == 0) return CDS_TEST;
    if (std::strcmp(argv[at], "store") == 0) return CDS_UPDATEREGISTRY;
    return 0;
}

int ChangeMode(DEVMODEA& mode, DWORD flags) {
    LONG r = ChangeDisplaySettingsA(&mode, flags);
    std::printf("change\tresult=%ld\t%s\n", static_cast<long>(r), ChangeResultName(r));
    return r == DISP_CHANGE_SUCCESSFUL ? 0 : 2;
}

unsigned long Number(const char* text) { return std::strtoul(text, nullptr, 10); }

int Usage() {
    std::fprintf(stderr,
                 "usage: displayinfo devices | key | modes [raw] [DEV] | current [DEV]\n"
                 "                   | registry [DEV] | set W H HZ [test|store]\n"
                 "                   | setrate HZ [test|store]\n");
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    if (cmd == "devices") return ListDevices();
    if (cmd == "key") return PrintDriverKey();
    if (cmd == "modes") {
        int a = 2;
        bool raw = a < argc && std::strcmp(argv[a], "raw") == 0;
        if (raw) ++a;
        return ListModes(raw, a < argc ? argv[a] : kDefaultDevice);
    }
    if (cmd == "current")
        return PrintSettings(ENUM_CURRENT_SETTINGS, argc > 2 ? argv[2] : kDefaultDevice);
    if (cmd == "registry")
        return PrintSettings(ENUM_REGISTRY_SETTINGS, argc > 2 ? argv[2] : kDefaultDevice);
    if (cmd == "set" && argc >= 5) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = Number(argv[2]);
        mode.dmPelsHeight = Number(argv[3]);
        mode.dmDisplayFrequency = Number(argv[4]);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
        return ChangeMode(mode, ChangeFlags(argc, argv, 5));
    }
    if (cmd == "setrate" && argc >= 3) {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        mode.dmDisplayFrequency = Number(argv[2]);
        mode.dmFields = DM_DISPLAYFREQUENCY;
        return ChangeMode(mode, ChangeFlags(argc, argv, 3));
    }
    return Usage();
}
