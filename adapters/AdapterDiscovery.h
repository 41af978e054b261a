#pragma once
// Finding the display adapters and reading what identifies the card.

#include <string>

#include "adapters/AdapterState.h"
#include "platform/Platform.h"

// Shown where no value names the chip or the driver version ("registry key not found"); a
// built-in text in UTF-8, marked as such.
inline constexpr char NotFoundPreset[] = "\uFEFFКлюч реестра не найден";

inline constexpr char NoAdapterText[] =
    "No display adapter was found for Cadenzo to work on: refresh rates and driver settings "
    "can neither be read nor changed.";
inline constexpr char NoDriverKeyText[] =
    "The display adapter \"%s\" has no driver key in the registry that Cadenzo can use (Windows "
    "names its key \"%s\"): refresh rates and driver settings can neither be read nor changed.";
inline constexpr char NoAdapterCaption[] = "Error";

// Lists the display adapters and settles the driver key of the first one.
void DiscoverAdapters(platform::Display& display, AdapterState& adapter);

// Why the program cannot work on adapter 0 (a text to show), or empty when it can.
std::string AdapterProblem(const AdapterState& adapter);

// The driver key relative to HKEY_LOCAL_MACHINE, or empty when `deviceKey` does not lie
// under "\Registry\Machine\".
std::string DriverKeyOf(const std::string& deviceKey);

// Reads the class identifiers of the card's hardware key.
void ReadClassIds(platform::Registry& registry, AdapterState& adapter);

// Reads the chip, the driver version and the PCI identifiers.
void IdentifyCard(platform::Registry& registry, AdapterState& adapter);

// The four characters after `marker` in a device instance id, counted as the driver's
// identification does: `skip` characters from the marker's position are removed first.
std::string CutIdentifier(const std::string& instanceId, const std::string& marker,
                          std::size_t skip, std::size_t keep);
