// "ati.pci" as it may lie beside the program, looked up for the demo card (a RADEON 9700 PRO,
// device 4E44, board 0002 of ATI, 1002) as the main window's creation does.

#include "adapters/CardDatabase.h"
#include "fuzz/FuzzMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::FakeWindows win;
    fuzz::SeedMachine(win);
    const std::string path = InstallPath(fuzz::InstallDir, CardDatabaseFile);
    win.files.Put(path, fuzz::Text(data, size));
    AdapterState adapter;
    adapter.VendorId = "1002";
    adapter.DeviceId = "4E44";
    adapter.SubsysId = "0002";
    adapter.SubsysVendorId = "1002";
    std::optional<std::string> card = LookUpCardType(win.files, path, adapter);
    fuzz::Require(card.has_value());
    // The name is a part of one line of the file.
    fuzz::Require(card->find('\n') == std::string::npos && card->find('\r') == std::string::npos);
    fuzz::Require(*card == UnknownCard || fuzz::Text(data, size).find(*card) != std::string::npos);
    return 0;
}
