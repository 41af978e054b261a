// The modes subsystem at the largest sizes its model allows: 65,535 enumerated modes in one
// run of widths (255 resolutions, each at 254 rates reported high to low plus repeats), 256
// driver records, and the list written for that whole table.
//
//   cadenzo_bench [benchmark flags]   Google Benchmark timings
//   cadenzo_bench --cases             the case names, one a line
//   cadenzo_bench --count NAME        one call of the case, the only code callgrind measures
//                                     when run with --instr-atstart=no

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "modes/ModeTable.h"
#include "modes/RestrictedModes.h"
#include "platform/fake/FakeDisplay.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

namespace {

constexpr char kDevice[] = "\\\\.\\DISPLAY1";
constexpr std::uint32_t kResolutions = 255;
constexpr std::uint32_t kModesPerResolution = (LastModeNumber + 1) / kResolutions;  // 257

// Widths never decrease; heights fall within a width, so sorting has work to do.
std::uint32_t WidthOf(std::uint32_t r) { return 640 + 16 * (r / 3); }
std::uint32_t HeightOf(std::uint32_t r) { return 1200 - 100 * (r % 3); }

class TableBuild {
public:
    TableBuild() {
        platform::FakeDisplay::Device& device = display_.AddDevice(kDevice, "ATI", 0, "");
        for (std::uint32_t r = 0; r < kResolutions; ++r) {
            // Every new rate is compared with all before it, and the repeats with all 254.
            for (std::uint32_t i = 0; i < kModesPerResolution; ++i) {
                std::uint32_t rate = i < HighestRate ? HighestRate - i : 1;
                device.modes.push_back(platform::MakeMode(WidthOf(r), HeightOf(r), 32, rate));
            }
        }
        // Each record continues its resolution's run from the bottom.
        for (std::uint32_t i = 0; i < MaxModeRecords; ++i) {
            std::uint32_t r = i % kResolutions;
            records_.push_back(RestrictionRecord{static_cast<std::uint16_t>(WidthOf(r)),
                                                 static_cast<std::uint16_t>(HeightOf(r)), 0,
                                                 static_cast<std::uint16_t>(1 + i / kResolutions)});
        }
    }
    void Run() {
        EnumerateModes(display_, kDevice, 0, table);
        benchmark::DoNotOptimize(MergeRestrictions(table, records_));
        SortModeTable(table);
        DeriveSelected(table, records_);
        benchmark::ClobberMemory();
    }
    ModeEntries table;

private:
    platform::FakeDisplay display_;
    std::vector<RestrictionRecord> records_;
};

// Every rate of every resolution disabled, and one colour depth: 64,771 records, far more
// than a list can hold (the apply refuses it), and the encoder's longest run.
class EncodeFullTable {
public:
    EncodeFullTable() {
        TableBuild build;
        build.Run();
        table_ = std::move(build.table);
        for (ModeEntry& entry : table_)
            entry.Selected = NoRateLeft;
    }
    void Run() {
        std::vector<std::uint8_t> bytes =
            EncodeRestrictedModes(table_, false, {true, true, true, false});
        benchmark::DoNotOptimize(bytes.data());
    }

private:
    ModeEntries table_;
};

// A full list value of 256 records, as start-up decodes it.
class DecodeFullList {
public:
    DecodeFullList() {
        for (std::size_t i = 0; i < MaxModeRecords; ++i) {
            ModeRecordBytes record =
                EncodeModeRecord({1024, 768, 32, static_cast<std::uint16_t>(i % 200 + 1)});
            std::memcpy(&list_.bytes[i * ModeRecordSize], record.data(), record.size());
        }
        list_.size = ModeListBufferSize;
    }
    void Run() {
        std::vector<RestrictionRecord> records = DecodeRestrictedModes(list_);
        benchmark::DoNotOptimize(records.data());
    }

private:
    ModeListBuffer list_;
};

template <class Workload>
void Time(benchmark::State& state) {
    Workload workload;
    for (auto _ : state)
        workload.Run();
}

template <class Workload>
void Count() {
    Workload workload;
    workload.Run();  // warm: the first call's allocations are not the steady state
    CALLGRIND_START_INSTRUMENTATION;
    workload.Run();
    CALLGRIND_STOP_INSTRUMENTATION;
}

struct Case {
    const char* name;
    void (*time)(benchmark::State&);
    void (*count)();
};

constexpr Case kCases[] = {
    {"TableBuild", Time<TableBuild>, Count<TableBuild>},
    {"EncodeFullTable", Time<EncodeFullTable>, Count<EncodeFullTable>},
    {"DecodeFullList", Time<DecodeFullList>, Count<DecodeFullList>},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--cases") == 0) {
        for (const Case& c : kCases)
            std::puts(c.name);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--count") == 0) {
        for (const Case& c : kCases) {
            if (std::strcmp(argv[2], c.name) != 0) continue;
            c.count();
            return 0;
        }
        std::fprintf(stderr, "no case %s\n", argv[2]);
        return 2;
    }
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark(c.name, c.time)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
