// The four fields of the add/edit window of a non-standard resolution as the user may type
// them (width, height, colour depth, rate, cut at line feeds), read as its OK reads them.
// A size that is accepted reads back the same when typed as the list shows it.

#include <string>

#include "fuzz/FuzzMachine.h"
#include "nonstandard/NonStdModes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields = fuzz::Fields(data, size, '\n', 4);
    NonStdMode mode;
    bool sizeRead = ReadSizeField(fields[0], mode.Width);
    sizeRead = ReadSizeField(fields[1], mode.Height) && sizeRead;
    mode.Depth = ReadAnyField(fields[2]);
    mode.Rate = ReadAnyField(fields[3]);
    if (sizeRead) {
        fuzz::Require(mode.Width != 0 && mode.Height != 0);
        std::uint16_t again = 0;
        fuzz::Require(ReadSizeField(std::to_string(mode.Width), again) && again == mode.Width);
        fuzz::Require(!FormatNonStdMode(mode).empty());
    }
    fuzz::Require(ReadAnyField(std::to_string(mode.Depth)) == mode.Depth);
    return 0;
}
