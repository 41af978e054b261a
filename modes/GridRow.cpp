#include "modes/GridRow.h"

#include <array>
#include <string>

#include "modes/RefreshGrid.h"

namespace {

constexpr int kRowTop = 28;
constexpr int kRowStep = 24;
constexpr int kRowFontHeight = 14;

// The resolutions the rows show until the grid is filled.
constexpr std::array<const char*, RefreshGrid::RowCount> kPlaceholders{
    "640x480",   "800x600",   "848x480",   "1024x768",  "1152x864",
    "1280x768",  "1280x960",  "1280x1024", "1600x1200", "1792x1344",
    "1800x1440", "1856x1392", "1920x1080", "1920x1200", "2048x1536"};

}  // namespace

GridRow::GridRow(ui::Control* group, int number)
    : l(group, "l" + std::to_string(number)),
      ComboBox(group, "ComboBox" + std::to_string(number)),
      hz(group, "hz" + std::to_string(number)) {
    int top = kRowTop + kRowStep * (number - 1);
    ui::Font rowFont{"MS Sans Serif", kRowFontHeight};
    l.SetPlace({8, top + 3, 60, 16});
    l.SetAlignment(ui::Alignment::Right);
    l.SetFont(rowFont);
    l.SetCaption(kPlaceholders[number - 1]);
    ComboBox.SetPlace({72, top, 49, 21});
    ComboBox.SetText("60");
    hz.SetPlace({122, top + 3, 20, 16});
    hz.SetFont(rowFont);
    hz.SetCaption("Hz");
}
