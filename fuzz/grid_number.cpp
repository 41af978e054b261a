// A refresh-rate row's text as the user may type it, read as the grid stores it into the mode
// table. A number the reading gives back must read back the same when typed as it shows.

#include <string>

#include "fuzz/FuzzMachine.h"
#include "modes/RefreshGrid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text = fuzz::Text(data, size);
    std::int32_t number = ReadRowNumber(text);
    fuzz::Require(ReadRowNumber(std::to_string(number)) == number);
    // Blanks before the number change nothing.
    fuzz::Require(ReadRowNumber("  " + text) == number);
    return 0;
}
