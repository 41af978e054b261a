#pragma once
// The card's commercial name, looked up in the card database "ati.pci" beside the program.

#include <optional>
#include <string>

#include "adapters/AdapterState.h"
#include "platform/Files.h"

inline constexpr char CardDatabaseFile[] = "ati.pci";
// The name shown when the database names no card for the adapter's identifiers.
inline constexpr char UnknownCard[] = "???";
inline constexpr char NoCardDatabaseText[] = "Can't open ati.pci";
inline constexpr char NoCardDatabaseCaption[] = "Error";

// The card type for the adapter from the database at `path`; nothing when the file cannot be
// read. The program cannot go on without it.
std::optional<std::string> LookUpCardType(platform::Files& files, const std::string& path,
                                          const AdapterState& adapter);
