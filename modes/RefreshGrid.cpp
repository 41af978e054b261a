#include "modes/RefreshGrid.h"

#include <limits>

#include "services/Format.h"
#include "services/NumberText.h"

std::int32_t ReadRowNumber(const std::string& text) {
    NumberStart start = ScanNumberStart(text);
    std::size_t i = start.digits;
    const std::size_t end = text.size();
    const int base = start.base;
    // A number too long for 32 bits stops where it would overflow, like any other misfit.
    constexpr std::int64_t Largest = std::numeric_limits<std::int32_t>::max();
    std::int64_t number = 0;
    for (; i < end; ++i) {
        int digit = DigitValue(text[i], base);
        if (digit < 0 || number * base + digit > Largest) break;
        number = number * base + digit;
    }
    bool readToEnd = i == end;
    return static_cast<std::int32_t>(start.negative && readToEnd ? -number : number);
}

RefreshGrid::RefreshGrid(std::vector<std::unique_ptr<GridRow>>& rows, ui::SpeedButton& sbUp,
                         ui::SpeedButton& sbDown, ModeEntries& table)
    : rows_(rows), sbUp_(sbUp), sbDown_(sbDown), table_(table) {
    sbUp_.OnClick = [this] { sbUpClick(); };
    sbDown_.OnClick = [this] { sbDownClick(); };
}

void RefreshGrid::FillGrid() {
    sbUp_.SetEnabled(false);
    sbDown_.SetEnabled(false);
    GridTop = 0;
    FillRows();
    sbDown_.SetEnabled(table_.size() > RowCount);
    for (std::size_t k = 1; k <= RowCount; ++k) {
        GridRow& row = *rows_[k - 1];
        bool shown = k <= table_.size();
        row.l.SetVisible(shown);
        row.ComboBox.SetVisible(shown);
        row.hz.SetVisible(shown);
    }
}

void RefreshGrid::sbDownClick() {
    // The arrow is disabled at the bottom; a call from elsewhere must not move past it either.
    if (GridTop + RowCount >= table_.size()) return;
    StoreRows();
    ClearRows();
    ++GridTop;
    sbUp_.SetEnabled(true);
    sbDown_.SetEnabled(GridTop + RowCount < table_.size());
    FillRows();
}

void RefreshGrid::sbUpClick() {
    if (GridTop == 0) return;
    StoreRows();
    ClearRows();
    --GridTop;
    if (GridTop == 0) sbUp_.SetEnabled(false);
    sbDown_.SetEnabled(true);
    FillRows();
}

void RefreshGrid::StoreRow(std::size_t k) {
    if (k < 1 || k > RowCount || GridTop + k - 1 >= table_.size()) return;
    // A number beyond a byte keeps its low 8 bits: 300 becomes 44, -1 becomes 255.
    table_[GridTop + k - 1].Selected =
        static_cast<std::uint8_t>(ReadRowNumber(rows_[k - 1]->ComboBox.Text()));
}

void RefreshGrid::StoreRows() {
    for (std::size_t k = 1; k <= RowCount; ++k)
        StoreRow(k);
}

void RefreshGrid::ClearRows() {
    for (auto& row : rows_)
        row->ComboBox.Clear();
}

void RefreshGrid::FillRows() {
    for (std::size_t k = 1; k <= RowCount && GridTop + k - 1 < table_.size(); ++k) {
        FillRow(*rows_[k - 1], table_[GridTop + k - 1]);
    }
}

void RefreshGrid::FillRow(GridRow& row, const ModeEntry& entry) {
    row.ComboBox.SetText(std::to_string(entry.Selected));
    std::vector<std::string> items;
    for (std::uint8_t rate : entry.Rates)
        items.push_back(std::to_string(rate));
    row.ComboBox.SetItems(std::move(items));
    row.l.SetCaption(SizeText(entry.Width, entry.Height));
}
