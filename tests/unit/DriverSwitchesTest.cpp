// The driver switches, the anisotropic-filtering override and the driver tabs on the main window
// as it is built: what the boxes show for the driver's values, the question for a missing
// value, what OK stores, and what counts as a change.

#include <gtest/gtest.h>

#include <optional>

#include "app/Program.h"
#include "app/TForm1.h"
#include "options/DriverSwitches.h"
#include "services/Settings.h"
#include "tests/unit/DemoMachine.h"

namespace {

using ui::CheckState;

const std::string kDdhal = std::string(demo::DriverKey) + "\\ddhal";
const char* const kDesktop0000 = ati::DesktopKeys[0];
const char* const kDesktopC4fd = ati::DesktopKeys[2];

class DriverSwitchesTest : public ::testing::Test {
protected:
    platform::FakeWindows win;
    ui::Application app{win.boxes};
    Program program{win.Os(), app};
    TForm1 form{program, program};
    DriverSwitches& options = *form.DriverOptions;  // the window's own, before its creation
    AdapterState adapter;
    RegistryCursor cursor{win.registry};

    void SetUp() override {
        adapter.DriverKey = demo::DriverKey;
        adapter.DdhalKey = kDdhal;
        win.registry.SeedKey(demo::DriverKey);
    }

    ui::CheckBox& Box(const char* name) {
        return *static_cast<ui::CheckBox*>(form.FindControl(name));
    }
    // The window's creation, as far as these options go.
    void Create() {
        options.Show(ReadDriverOptions(win.registry, adapter));
        options.RecordSwitchSnapshot();
    }
    // OK, with the cursor left on another key by whatever ran before.
    void Apply() {
        cursor.OpenKey(FromRoot(SettingsKey), true);
        WriteDriverOptions(cursor, win.registry, adapter, options.Chosen());
    }
    std::optional<std::uint32_t> Dword(const std::string& key, const char* name) {
        auto v = win.registry.Value(key, name);
        if (!v) return std::nullopt;
        EXPECT_EQ(platform::RegDword, v->type) << name;
        if (v->data.size() != 4) {
            ADD_FAILURE() << name << " has " << v->data.size() << " bytes";
            return std::nullopt;
        }
        std::uint32_t number = 0;
        for (std::size_t i = 4; i-- > 0;)
            number = number << 8 | v->data[i];
        return number;
    }
    std::optional<std::string> Text(const std::string& key, const char* name) {
        auto v = win.registry.Value(key, name);
        if (!v) return std::nullopt;
        EXPECT_EQ(platform::RegSz, v->type) << name;
        return std::string(v->data.begin(), v->data.end());
    }
};

TEST_F(DriverSwitchesTest, SwitchValuesShowAsBoxesWithTheOppositeSense) {
    win.registry.SeedDword(demo::DriverKey, "DisableBlockWrite", 0);
    win.registry.SeedDword(demo::DriverKey, "DisableDrvStretchBlt", 1);
    win.registry.SeedDword(demo::DriverKey, "DisableTiling", 2);
    // "DisableUSWC" absent.
    win.registry.Seed(demo::DriverKey, "DisableVBlankFlip", platform::RegBinary,
                      {0, 0, 0, 0, 0, 0, 0, 0});                   // too long to read
    win.registry.SeedDword(demo::DriverKey, "DisableLCD", 65537);  // only the low 16 bits count
    win.registry.SeedDword(demo::DriverKey, "DDC2Disabled", 0x00010000);
    win.registry.SeedDword(demo::DriverKey, "DisableDMACopy", 0x0100);
    Create();
    const CheckState expected[] = {
        CheckState::Checked, CheckState::Unchecked, CheckState::Grayed,  CheckState::Grayed,
        CheckState::Grayed,  CheckState::Unchecked, CheckState::Checked, CheckState::Grayed};
    for (std::size_t i = 0; i < DriverSwitches::SwitchCount; ++i) {
        EXPECT_EQ(expected[i], form.Switches[i]->State()) << form.Switches[i]->Name();
        EXPECT_EQ(expected[i] == CheckState::Grayed, options.SwitchAbsent[i]);
    }
    EXPECT_TRUE(win.boxes.shown.empty());  // setting the boxes while created asks nothing
    EXPECT_FALSE(options.SwitchesChanged());

    Apply();
    EXPECT_EQ(0u, Dword(demo::DriverKey, "DisableBlockWrite"));
    EXPECT_EQ(1u, Dword(demo::DriverKey, "DisableDrvStretchBlt"));
    EXPECT_EQ(2u, Dword(demo::DriverKey, "DisableTiling"));  // grayed: left exactly as it was
    EXPECT_FALSE(win.registry.Value(demo::DriverKey, "DisableUSWC"));
    EXPECT_EQ(platform::RegBinary, win.registry.Value(demo::DriverKey, "DisableVBlankFlip")->type);
    EXPECT_EQ(1u, Dword(demo::DriverKey, "DisableLCD"));
    EXPECT_EQ(0x0100u, Dword(demo::DriverKey, "DisableDMACopy"));
    EXPECT_FALSE(win.registry.Value(SettingsKey, "DisableTiling")) << "where the cursor stood";
}

TEST_F(DriverSwitchesTest, MissingValueIsCreatedOnlyWhenTheUserAgrees) {
    Create();
    ui::CheckBox& ddc2 = Box("cbDDC2");
    win.boxes.answers = {platform::Answer::No};
    ddc2.UserClick();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Registry key doesn't exists. Create it?", win.boxes.shown[0].text);
    EXPECT_EQ("?", win.boxes.shown[0].caption);
    EXPECT_EQ(platform::Buttons::YesNo, win.boxes.shown[0].buttons);
    EXPECT_EQ(platform::Icon::None, win.boxes.shown[0].icon);
    EXPECT_EQ(CheckState::Grayed, ddc2.State());
    EXPECT_FALSE(options.SwitchesChanged());
    Apply();
    EXPECT_FALSE(win.registry.Value(demo::DriverKey, "DDC2Disabled"));

    win.boxes.answers = {platform::Answer::Yes};
    ddc2.UserClick();  // asked again
    EXPECT_EQ(2u, win.boxes.shown.size());
    EXPECT_EQ(CheckState::Checked, ddc2.State());
    EXPECT_TRUE(options.SwitchesChanged());
    Apply();
    EXPECT_EQ(0u, Dword(demo::DriverKey, "DDC2Disabled"));

    ddc2.UserClick();  // from now on it toggles without a question
    EXPECT_EQ(2u, win.boxes.shown.size());
    EXPECT_EQ(CheckState::Unchecked, ddc2.State());
    EXPECT_FALSE(options.SwitchesChanged()) << "grayed and unchecked both count as not checked";
    Apply();
    EXPECT_EQ(1u, Dword(demo::DriverKey, "DDC2Disabled"));
}

TEST_F(DriverSwitchesTest, QuestionComesFromTheLanguageFileWhenOneIsInUse) {
    program.language.LanguageActive = true;
    program.language.LanguageTexts[31] = "Schlüssel fehlt. Anlegen?";
    Create();
    win.boxes.answers = {platform::Answer::Yes};
    Box("cbTiling").UserClick();
    ASSERT_EQ(1u, win.boxes.shown.size());
    EXPECT_EQ("Schlüssel fehlt. Anlegen?", win.boxes.shown[0].text);
    EXPECT_EQ("?", win.boxes.shown[0].caption);
}

TEST_F(DriverSwitchesTest, AnisoDegreeTurnsTheOverrideOnAndUncheckingDeletesIt) {
    win.registry.SeedString(kDdhal, "AnisoDegree", "128");  // with a terminator: "128\0"
    Create();
    EXPECT_TRUE(form.cbAnisoD3D.Checked());
    EXPECT_TRUE(form.cbAnisoDegree.Enabled());
    EXPECT_EQ("128", form.cbAnisoDegree.Text());
    EXPECT_FALSE(options.SwitchesChanged());
    Apply();
    EXPECT_EQ(std::string("128\0", 4), Text(kDdhal, "AnisoDegree")) << "stored back as it was";

    form.cbAnisoD3D.UserClick();
    EXPECT_FALSE(form.cbAnisoDegree.Enabled());
    EXPECT_EQ("128", form.cbAnisoDegree.Text());
    EXPECT_TRUE(options.SwitchesChanged());
    Apply();
    EXPECT_TRUE(win.registry.KeyExists(kDdhal));
    EXPECT_FALSE(win.registry.Value(kDdhal, "AnisoDegree"));
}

TEST_F(DriverSwitchesTest, OkCreatesTheDdhalKeyAndStoresTheDegreeAsTyped) {
    Create();
    EXPECT_FALSE(form.cbAnisoD3D.Checked());
    EXPECT_FALSE(form.cbAnisoDegree.Enabled());
    EXPECT_EQ("16", form.cbAnisoDegree.Text());
    Apply();
    EXPECT_TRUE(win.registry.KeyExists(kDdhal)) << "created even with the override off";
    EXPECT_FALSE(win.registry.Value(kDdhal, "AnisoDegree"));

    form.cbAnisoD3D.UserClick();
    EXPECT_TRUE(form.cbAnisoDegree.Enabled());
    Apply();
    EXPECT_EQ(std::string("16\0", 3), Text(kDdhal, "AnisoDegree"));
    form.cbAnisoDegree.SetText("64");
    Apply();
    EXPECT_EQ(std::string("64\0", 3), Text(kDdhal, "AnisoDegree"));
}

TEST_F(DriverSwitchesTest, DegreeTextCountsAsAChangeOnlyWhileTheOverrideIsOn) {
    win.registry.Seed(kDdhal, "AnisoDegree", platform::RegSz, {'a', 'b'});
    Create();
    form.cbAnisoDegree.SetText("AB");  // compared exactly
    EXPECT_TRUE(options.SwitchesChanged());
    form.cbAnisoDegree.SetText("ab");
    EXPECT_FALSE(options.SwitchesChanged());

    form.cbAnisoD3D.UserClick();
    options.RecordSwitchSnapshot();  // as a window created with the override off
    form.cbAnisoDegree.SetText("128");
    EXPECT_FALSE(options.SwitchesChanged());
    form.cbAnisoD3D.UserClick();
    EXPECT_TRUE(options.SwitchesChanged());
}

TEST_F(DriverSwitchesTest, TabsTakeTheLastDesktopKeyAndOkWritesEveryKeyThatExists) {
    const char* desktop0c6f = ati::DesktopKeys[1];
    win.registry.SeedDword(kDesktop0000, "OpenGL", 0);
    win.registry.SeedDword(desktop0c6f, "OpenGL", 0);
    win.registry.SeedDword(kDesktopC4fd, "OpenGL", 1);
    win.registry.SeedDword(kDesktop0000, "D3D", 2);
    win.registry.SeedDword(kDesktop0000, "Projector", 1);
    win.registry.SeedDword(kDesktopC4fd, "Projector", 0);
    Create();
    EXPECT_TRUE(Box("cbOpenGL").Checked());
    EXPECT_FALSE(Box("cbDirect3D").Checked());
    EXPECT_FALSE(Box("cbProjector").Checked());
    EXPECT_FALSE(Box("cbRotation").Checked());

    Box("cbRotation").UserClick();
    EXPECT_TRUE(options.SwitchesChanged());
    win.registry.DeleteKeyTree(desktop0c6f);
    Apply();
    for (const char* key : {kDesktop0000, kDesktopC4fd}) {
        EXPECT_EQ(1u, Dword(key, "OpenGL")) << key;
        EXPECT_EQ(0u, Dword(key, "D3D")) << key;
        EXPECT_EQ(0u, Dword(key, "Projector")) << key;
        EXPECT_EQ(1u, Dword(key, "Rotation")) << key;
    }
    EXPECT_FALSE(win.registry.KeyExists(desktop0c6f)) << "a missing desktop key is skipped";
    EXPECT_TRUE(win.boxes.shown.empty());
}

TEST_F(DriverSwitchesTest, WithoutWriteRightsOnDdhalNothingIsDeletedElsewhere) {
    win.registry.SeedString(kDdhal, "AnisoDegree", "16");
    win.registry.SeedString(demo::DriverKey, "AnisoDegree", "8");  // not the driver's place
    win.registry.ProtectFromWrites(kDdhal);
    Create();
    form.cbAnisoD3D.UserClick();
    win.boxes.answers = {platform::Answer::Yes};
    Box("cbTiling").UserClick();
    Apply();
    EXPECT_TRUE(win.registry.Value(kDdhal, "AnisoDegree"));
    EXPECT_TRUE(win.registry.Value(demo::DriverKey, "AnisoDegree"));
    EXPECT_EQ(0u, Dword(demo::DriverKey, "DisableTiling"));
    EXPECT_EQ(1u, win.boxes.shown.size());  // the question only; failures are not reported
}

TEST_F(DriverSwitchesTest, WithoutDriverKeyNothingAtTheRootIsReadOrWritten) {
    adapter.DriverKey.clear();
    adapter.DdhalKey.clear();
    win.registry.SeedString("", "AnisoDegree", "128");
    win.registry.SeedDword("", "DisableTiling", 0);
    Create();
    EXPECT_FALSE(form.cbAnisoD3D.Checked());
    for (const auto& box : form.Switches)
        EXPECT_EQ(CheckState::Grayed, box->State()) << box->Name();

    cursor.OpenKey(FromRoot(SettingsKey), true);
    WriteDriverOptions(cursor, win.registry, adapter,
                       options.Chosen());  // the override off: a delete
    form.cbAnisoD3D.UserClick();
    win.boxes.answers = {platform::Answer::Yes};
    Box("cbLCD").UserClick();
    WriteDriverOptions(cursor, win.registry, adapter,
                       options.Chosen());  // the override on: a write
    EXPECT_EQ(SettingsKey, cursor.CurrentPath());
    EXPECT_FALSE(win.registry.KeyExists("ddhal"));
    EXPECT_EQ((std::vector<std::string>{"AnisoDegree", "DisableTiling"}),
              win.registry.ValueNames(""));
    EXPECT_EQ(std::string("128\0", 4), Text("", "AnisoDegree"));
    EXPECT_EQ(0u, Dword("", "DisableTiling"));
}

}  // namespace
