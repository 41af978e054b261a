#pragma once
// One row of the refresh-rate grid: the resolution, its rate box and the unit.

#include "ui/Controls.h"

struct GridRow {
    GridRow(ui::Control* group, int number);  // number 1 to 15
    ui::Label l;
    ui::ComboBox ComboBox;
    ui::Label hz;
};
