#include "app/TForm1.h"

#include <string>

#include "about/Help.h"
#include "app/TForm1Layout.h"
#include "app/TForm1Menu.h"
#include "keep/Watch.h"
#include "platform/Error.h"
#include "services/Settings.h"

namespace {

ui::Rect At(const layout::Place& p) { return ui::Rect{p.left, p.top, p.width, p.height}; }

}  // namespace

InfoRow::InfoRow(ui::Control* group, int index)
    : caption(group, layout::AdapterInfoRows[index].captionName),
      value(group, layout::AdapterInfoRows[index].valueName) {
    const layout::InfoRowText& text = layout::AdapterInfoRows[index];
    int top = 18 + 15 * index;
    caption.SetPlace({8, top, 124, 13});
    caption.SetAlignment(ui::Alignment::Right);
    caption.SetCaption(text.caption.BuiltIn());
    caption.SetHint(text.hint.BuiltIn());
    value.SetPlace({140, top, 316, 13});
    value.SetCaption(index == 7 ? layout::CardTypePlaceholder : "-");
}

TForm1::TForm1(ProgramState& state, ProgramWindows& windows)
    : ui::Form(state.app, "Form1"),
      state(state),
      MachineRegistry(state.os.registry),
      Grid(Rows, sbUp, sbDown, state.ModeTable),
      windows_(windows) {
    BuildLayout();
    BuildMenu();
    DriverOptions = std::make_unique<DriverSwitches>(cbAnisoD3D, cbAnisoDegree, Switches, Tabs,
                                                     state.app.Boxes(), state.language);
    WireButtons();
}

TForm1::~TForm1() = default;

void TForm1::BuildLayout() {
    SetPlace({0, 0, layout::ClientWidth, layout::ClientHeight});
    SetBorder(ui::BorderStyle::Single);
    SetMinimizeBox(true);
    SetSystemMenu(true);
    SetBackgroundColor(layout::InactiveCaptionTextColor);
    SetFont({"MS Sans Serif", layout::WindowFontHeight});
    SetCaption("Cadenzo");

    const ui::Font groupFont{"MS Sans Serif", layout::GroupFontHeight};
    for (const layout::GroupText& g : layout::Groups) {
        ui::Control& box = Named(g.name);
        box.SetCaption(g.caption.BuiltIn());
        box.SetPlace(At(g.place));
        box.SetFont(groupFont);
        box.SetVisible(g.shown);
    }

    for (int k = 1; k <= static_cast<int>(RefreshGrid::RowCount); ++k)
        Rows.push_back(std::make_unique<GridRow>(&gbRefresh, k));
    const ui::Font arrows{"Webdings", 21};
    sbUp.SetPlace({4, 14, 140, 10});
    sbUp.SetCaption("5");
    sbUp.SetFont(arrows);
    sbDown.SetPlace({4, 388, 140, 10});
    sbDown.SetCaption("6");
    sbDown.SetFont(arrows);

    for (int i = 0; i < static_cast<int>(layout::AdapterInfoRows.size()); ++i) {
        AdapterInfo.push_back(std::make_unique<InfoRow>(&gbAdInfo, i));
    }

    cbAnisoD3D.SetPlace({8, 16, 260, 17});
    cbAnisoD3D.SetCaption(layout::AnisoBox.caption.BuiltIn());
    Label38.SetPlace({292, 18, 72, 13});
    Label38.SetCaption("AnisoDegree:");
    cbAnisoDegree.SetPlace({368, 14, 57, 21});
    cbAnisoDegree.SetItems({"16", "128"});
    cbAnisoDegree.SetText("16");
    cbAnisoDegree.SetEnabled(false);
    for (int i = 0; i < static_cast<int>(layout::SwitchBoxes.size()); ++i) {
        const layout::CheckBoxText& text = layout::SwitchBoxes[i];
        auto box = std::make_unique<ui::CheckBox>(&gbAdvanced, text.name);
        box->SetPlace({8 + 288 * (i / 4), 44 + 30 * (i % 4), i < 4 ? 284 : 168, 17});
        box->SetCaption(text.caption.BuiltIn());
        box->SetState(ui::CheckState::Grayed);
        Switches.push_back(std::move(box));
    }

    for (int i = 0; i < static_cast<int>(layout::TabBoxes.size()); ++i) {
        const layout::CheckBoxText& text = layout::TabBoxes[i];
        auto box = std::make_unique<ui::CheckBox>(&gbDriver, text.name);
        box->SetPlace({8 + 228 * (i % 2), 22 + 28 * (i / 2), 200, 17});
        box->SetCaption(text.caption.BuiltIn());
        box->SetHint(text.hint.BuiltIn());
        Tabs.push_back(std::move(box));
    }

    for (int i = 0; i < static_cast<int>(layout::ColourDepthBoxes.size()); ++i) {
        const layout::CheckBoxText& text = layout::ColourDepthBoxes[i];
        ColourDepths[i] = std::make_unique<ui::CheckBox>(&gbColor, text.name);
        ColourDepths[i]->SetPlace({8, 16 + 15 * i, 97, 15});
        ColourDepths[i]->SetCaption(text.caption.BuiltIn());
        ColourDepths[i]->SetChecked(true);
    }
    cbHiFreq.SetPlace({8, 16, 257, 17});
    cbHiFreq.SetCaption(layout::HiFreqCaption);

    Label36.SetPlace({8, 16, 40, 13});
    Label36.SetCaption("ClassID");
    lbClassID.SetPlace({56, 16, 180, 13});
    Label37.SetPlace({8, 30, 40, 13});
    Label37.SetCaption("VideoID");
    lbVideoID.SetPlace({56, 30, 180, 13});

    for (const layout::ButtonText& b : layout::Buttons) {
        ui::Control& button = Named(b.name);
        button.SetCaption(b.caption.BuiltIn());
        button.SetPlace(At(b.place));
    }
}

void TForm1::BuildMenu() {
    for (const layout::MenuGroup& group : layout::Menu) {
        ui::MenuItem& top = Menu().Add(group.name, BuiltInText(group.caption));
        for (const layout::MenuEntry& entry : group.entries) {
            if (!entry.name) continue;
            ui::MenuItem& item = top.Add(entry.name, BuiltInText(entry.caption));
            item.OnClick = MenuAction(entry);
            if (entry.command == &TForm1::KeepRatesClick)
                item.SetChecked(WatchEnabled(state.os.registry));
        }
    }
}

std::function<void()> TForm1::MenuAction(const layout::MenuEntry& entry) {
    auto window = [this, target = entry.target]() -> TForm1& {
        return target == layout::MenuTarget::Own ? *this : windows_.Form1();
    };
    if (entry.command) return [window, command = entry.command] { (window().*command)(); };
    return [window, button = std::string(entry.button)] {
        static_cast<ui::Button&>(window().Named(button)).Click();
    };
}

void TForm1::WireButtons() {
    // The arrows store the rows into the table before they move: not into a table that a
    // newer main window has rebuilt.
    for (ui::SpeedButton* arrow : {&sbUp, &sbDown}) {
        arrow->OnClick = [this, move = arrow->OnClick] {
            if (TableInForce()) move();
        };
    }
    OK.OnClick = [this] { OKClick(); };
    Cancel.OnClick = [this] { CancelClick(); };
    bRestore.OnClick = [this] { bRestoreClick(); };
    bAdapter.OnClick = [this] { windows_.CreateAdapterDialog(); };
    bRes.OnClick = [this] { windows_.OpenResolutions(); };
    bLang.OnClick = [this] { windows_.OpenLanguages(); };
    About.OnClick = [this] { windows_.OpenAbout(); };
    Help.OnClick = [this] { HelpClick(); };
    bReport.OnClick = [this] { bReportClick(); };
}

void TForm1::KeepRatesClick() {
    platform::Registry& registry = state.os.registry;
    EnableWatch(registry, GetInstallDir(registry), !WatchEnabled(registry));
    // The mark says what the registry now holds.
    if (ui::MenuItem* item = FindMenuItem("KeepRates1")) item->SetChecked(WatchEnabled(registry));
}

void TForm1::HelpClick() { OpenHelp(state.os, state.language); }

ui::Control* TForm1::FindControl(const std::string& name) {
    std::vector<ui::Control*> pending{this};
    while (!pending.empty()) {
        ui::Control* c = pending.back();
        pending.pop_back();
        if (c->Name() == name) return c;
        pending.insert(pending.end(), c->Children().begin(), c->Children().end());
    }
    return nullptr;
}

ui::Control& TForm1::Named(const std::string& name) {
    ui::Control* control = FindControl(name);
    // The names come from the window's own tables: a miss is a mistake in them.
    if (!control) throw platform::Error("The main window has no control " + name);
    return *control;
}

ui::MenuItem* TForm1::FindMenuItem(const std::string& name) {
    for (auto& top : Menu().Items()) {
        if (top->Name() == name) return top.get();
        for (auto& item : top->Items()) {
            if (item->Name() == name) return item.get();
        }
    }
    return nullptr;
}
