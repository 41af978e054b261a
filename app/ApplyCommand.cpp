#include "app/ApplyCommand.h"

#include "adapters/AdapterDiscovery.h"
#include "adapters/CardDatabase.h"
#include "app/ProfileText.h"
#include "apply/ApplyChoice.h"
#include "apply/StartBackup.h"
#include "platform/Utf8Text.h"
#include "services/ExitCodes.h"
#include "services/History.h"
#include "services/Restart.h"

namespace {

void Say(platform::System& system, const std::string& text) { system.WriteOut(text + "\r\n"); }

// The machine, or none after saying what is missing.
std::optional<Machine> MachineToApplyTo(platform::Platform& os, RegistryCursor& cursor,
                                        const LanguageState& language) {
    Machine machine = ReadMachine(os, cursor);
    std::string problem = AdapterProblem(machine.adapter);
    if (!problem.empty()) platform::ShowNotice(os.boxes, problem, NoAdapterCaption);
    // Asked as every start of the window asks it; the restore it offers is the window's, at its
    // first paint, so here the answer changes nothing.
    if (!machine.listInForce) {
        platform::AskYesNo(os.boxes, language.Text(TextId::UndisabledQuestion),
                           language.Text(TextId::UndisabledCaption));
    }
    if (!machine.cardType) {
        platform::ShowNotice(os.boxes, NoCardDatabaseText, NoCardDatabaseCaption);
        return std::nullopt;
    }
    return machine;
}

// The choice of rates matched to the machine, with the machine's depths and options.
Choice ChoiceOn(const Machine& machine, const ModeEntries& rates) {
    Choice choice;
    choice.rates = rates;
    choice.depths = machine.depths;
    choice.options = machine.options;
    return choice;
}

bool OfferRestart(platform::Platform& os, const LanguageState& language, bool ask) {
    if (ask && !platform::AskYesNo(os.boxes, language.Text(TextId::RestartQuestion),
                                   language.Text(TextId::RestartCaption)))
        return false;
    return RestartWindows(os, Notice{language.Text(TextId::RestartFailed),
                                     language.Text(TextId::RestartFailedCaption)});
}

std::uint32_t ApplyProfile(platform::Platform& os, const LanguageState& language,
                           const std::string& file, bool silent, bool noRestart) {
    RegistryCursor cursor(os.registry);
    std::optional<Machine> machine = MachineToApplyTo(os, cursor, language);
    if (!machine) return exitcode::NotFound;
    std::optional<profile::Profile> read = ReadProfileFile(os, language, file);
    if (!read) return exitcode::NotFound;

    std::vector<ChosenRate> rates;
    for (const profile::RateChoice& rate : read->Resolutions)
        rates.push_back({rate.Width, rate.Height, rate.Lowest, rate.Rate});
    ChoiceMatch match = MatchChoice(rates, machine->modes);
    const std::string caption = ProfileCaption(language, TextId::ImportSettingsItem);
    if (!match.skipped.empty()) {
        std::vector<std::string> sizes;
        for (const ChosenRate& rate : match.skipped)
            sizes.push_back(SizeText(rate));
        platform::ShowNotice(
            os.boxes, Listed(language.Text(TextId::ProfileSkippedResolutions), sizes), caption);
    }
    if (!match.unoffered.empty()) {
        std::vector<std::string> lines;
        for (const ChosenRate& rate : match.unoffered)
            lines.push_back(RateText(rate));
        platform::ShowNotice(os.boxes, Listed(language.Text(TextId::ProfileUnofferedRates), lines),
                             caption);
    }

    Choice choice = ChoiceOn(*machine, match.table);
    const profile::SwitchSettings& settings = read->Settings;
    for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
        if (settings.Switches[i])
            ChooseSwitch(choice.options, i, *settings.Switches[i], os.boxes, language);
    }
    if (settings.AnisoD3D) choice.options.anisoD3D = *settings.AnisoD3D;
    if (settings.AnisoDegree) choice.options.anisoDegree = *settings.AnisoDegree;
    // The window shows its default degree where the driver forces none.
    if (choice.options.anisoD3D && choice.options.anisoDegree.empty())
        choice.options.anisoDegree = DefaultAnisoDegree;

    bool refused = !match.skipped.empty() || !match.unoffered.empty();
    ApplyPolicy policy;
    if (silent) {
        policy.monitor = ApplyPolicy::Monitor::RefuseBeyond;
        for (const std::string& line : RefuseRatesBeyondMonitor(os, *machine, choice)) {
            Say(os.system, "Cadenzo: refused, beyond the monitor's limits: " + line);
            refused = true;
        }
    }
    RecordEvent(os, HistoryEvent::ApplyCommand,
                file + (refused ? ", parts refused" : "") +
                    (noRestart ? ", the restart left to the caller" : ""));

    if (!machine->adapter.HasDriverKey()) return exitcode::NoAdapter;
    StartBackup backup = TakeStartBackup(os, machine->adapter, language);
    if (backup != StartBackup::Taken)
        return backup == StartBackup::Busy ? exitcode::Busy : exitcode::EditorUnfinished;
    ApplyOutcome outcome = ApplyChoice(os, cursor, *machine, choice, policy, language);
    if (!outcome.Written()) {
        // Stopped short, and said why; a refusal of the whole list is one of nothing done.
        return outcome.exitCode == exitcode::PartsRefused ? exitcode::NothingDone
                                                          : outcome.exitCode;
    }
    std::uint32_t code = refused || outcome.exitCode == exitcode::PartsRefused
                             ? exitcode::PartsRefused
                             : exitcode::Done;
    if (!outcome.restartNeeded) return code;
    bool restarting = !noRestart && OfferRestart(os, language, !silent);
    // A command that leaves the restart to its caller says that one is needed.
    return !restarting && code == exitcode::Done ? exitcode::RestartNeeded : code;
}

}  // namespace

std::uint32_t ApplyProfileCommand(platform::Platform& os, ui::Application& app,
                                  const LanguageState& language, const std::string& file,
                                  bool silent, bool noRestart) {
    std::uint32_t code = exitcode::NothingDone;
    app.Run([&] { code = ApplyProfile(os, language, file, silent, noRestart); });
    return code;
}

void ApplyRecordAgain(platform::Platform& os, ui::Application& app, const LanguageState& language,
                      const AppliedRecord& record) {
    app.Run([&] {
        RegistryCursor cursor(os.registry);
        std::optional<Machine> machine = MachineToApplyTo(os, cursor, language);
        if (!machine) return;
        // Chosen as by hand: a rate the resolution no longer offers stays at the rate in force.
        Choice choice =
            ChoiceOn(*machine, MatchChoice(ChosenRates(record.rates), machine->modes).table);
        for (const RecordedSwitch& item : record.switches) {
            for (std::size_t i = 0; i < DriverSwitchCount; ++i) {
                if (item.name == DriverSwitchTable[i].value)
                    ChooseSwitch(choice.options, i, item.value == SwitchFeatureEnabled, os.boxes,
                                 language);
            }
        }
        choice.options.anisoD3D = !record.anisoDegree.empty();
        if (choice.options.anisoD3D) choice.options.anisoDegree = record.anisoDegree;

        if (TakeStartBackup(os, machine->adapter, language) != StartBackup::Taken) return;
        ApplyOutcome outcome = ApplyChoice(os, cursor, *machine, choice, ApplyPolicy{}, language);
        if (!outcome.Written()) return;
        if (outcome.restartNeeded) OfferRestart(os, language, true);
        os.system.ExitProcess(0);
    });
}
