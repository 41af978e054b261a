#pragma once
// The refresh-rate grid: 15 rows, each showing one resolution of the mode table with its
// rates and the rate in force, and two arrows that move the rows through a longer table one
// resolution at a time. A row's text reaches the table only when the rows move (and when the
// settings are applied, through StoreRow).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modes/GridRow.h"
#include "modes/ModeTable.h"

// A row's text read as a number: blanks skipped, an optional sign, then decimal digits, or
// hexadecimal ones after "$", "x" or "0x" (either case). Reading stops at the first character
// that does not fit; what was read until then counts, without its minus sign when reading
// stopped early. An empty or non-numeric text is 0.
std::int32_t ReadRowNumber(const std::string& text);

class RefreshGrid {
public:
    static constexpr std::size_t RowCount = 15;

    // Takes over the arrows' click handlers. The rows, arrows and table must outlive the grid.
    RefreshGrid(std::vector<std::unique_ptr<GridRow>>& rows, ui::SpeedButton& sbUp,
                ui::SpeedButton& sbDown, ModeEntries& table);
    RefreshGrid(const RefreshGrid&) = delete;
    RefreshGrid& operator=(const RefreshGrid&) = delete;

    // Shows the first entries of the finished table; rows without an entry are hidden.
    void FillGrid();
    void sbUpClick();
    void sbDownClick();
    // Carries row k's text (k from 1 to RowCount), read by ReadRowNumber and cut to 8 bits,
    // into the entry the row shows. A row that shows no entry has nothing to carry.
    void StoreRow(std::size_t k);

    // The index in the table of the entry that row 1 shows. Wider than a byte, so a table of
    // any length can be paged through.
    std::size_t GridTop = 0;

private:
    void StoreRows();
    void ClearRows();
    // Rows 1 to 15 from the entries GridTop on, as far as the table goes.
    void FillRows();
    void FillRow(GridRow& row, const ModeEntry& entry);

    std::vector<std::unique_ptr<GridRow>>& rows_;
    ui::SpeedButton& sbUp_;
    ui::SpeedButton& sbDown_;
    ModeEntries& table_;
};
