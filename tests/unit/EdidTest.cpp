// The monitor's EDID, its range limits and the GTF estimate: every real monitor of
// tests/data/edid against its reference decoding, odd and broken blocks, the check of a mode
// table against the ranges, and the lookup of the monitor's EDID where Windows keeps it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "monitor/Edid.h"
#include "monitor/Gtf.h"
#include "monitor/MonitorEdid.h"
#include "monitor/RangeCheck.h"
#include "tests/unit/DemoMachine.h"

using monitor::EdidStatus;
using namespace std::string_literals;

namespace {

// A monitor's file: the hex dump, then the reference decoding.
struct Reference {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> names;           // each "Display Product Name: '...'"
    std::optional<std::string> manufacturer;  // "Manufacturer: AOC"
    std::optional<unsigned> productCode;      // "Model: 8807"
    std::optional<std::string> version;       // "EDID Structure Version & Revision: 1.3"
    std::vector<unsigned> ranges;             // the five numbers of the "Monitor ranges" line
    struct GtfLine {
        unsigned width, height;
        double rate, kHz, mHz;
    };
    std::vector<GtfLine> gtf;
};

Reference ReadReference(const std::filesystem::path& path) {
    static const std::regex kRanges(
        R"(Monitor ranges .*: (\d+)-(\d+) Hz V, (\d+)-(\d+) kHz H, max dotclock (\d+) MHz)");
    static const std::regex kGtf(
        R"(^\s+GTF\s+:\s+(\d+)x(\d+)\s+([\d.]+) Hz\s+\S+\s+([\d.]+) kHz\s+([\d.]+) MHz)");
    static const std::regex kName(R"(Display Product Name: '(.*)'$)");
    static const std::regex kManufacturer(R"(^    Manufacturer: (\S+)$)");
    static const std::regex kModel(R"(^    Model: (\d+)$)");
    static const std::regex kVersion(R"(EDID Structure Version & Revision: (\S+)$)");
    Reference ref;
    std::ifstream in(path);
    std::string line;
    bool inDump = false, dumped = false;
    std::smatch m;
    while (std::getline(in, line)) {
        if (!dumped) {
            if (line.rfind("edid-decode (hex):", 0) == 0)
                inDump = true;
            else if (line.rfind("----", 0) == 0)
                inDump = false, dumped = true;
            else if (inDump) {
                std::istringstream hex(line);
                unsigned byte;
                while (hex >> std::hex >> byte)
                    ref.bytes.push_back(static_cast<std::uint8_t>(byte));
            }
            continue;
        }
        // A cheap look for the line's kind before the (slow) expression.
        auto found = [&](const char* kind, const std::regex& expression) {
            return line.find(kind) != std::string::npos && std::regex_search(line, m, expression);
        };
        if (found("Product Name", kName)) ref.names.push_back(m[1]);
        if (!ref.manufacturer && found("Manufacturer", kManufacturer)) ref.manufacturer = m[1];
        if (!ref.productCode && found("Model", kModel)) ref.productCode = std::stoul(m[1]);
        if (!ref.version && found("Revision", kVersion)) ref.version = m[1];
        if (ref.ranges.empty() && found("Monitor ranges", kRanges)) {
            for (int i = 1; i <= 5; ++i)
                ref.ranges.push_back(std::stoul(m[i]));
        }
        if (found("GTF", kGtf)) {
            ref.gtf.push_back({unsigned(std::stoul(m[1])), unsigned(std::stoul(m[2])),
                               std::stod(m[3]), std::stod(m[4]), std::stod(m[5])});
        }
    }
    return ref;
}

// Whether the base block's range descriptor uses the "+255" offsets.
bool UsesRangeOffsets(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t offset : {54, 72, 90, 108}) {
        if (bytes[offset] == 0 && bytes[offset + 1] == 0 && bytes[offset + 3] == 0xFD)
            return (bytes[offset + 4] & 0x0F) != 0;
    }
    return false;
}

bool WithinPerMille(double ours, double theirs) {
    return std::fabs(ours - theirs) <= theirs / 1000;
}

TEST(EdidTest, EveryRealMonitorAgreesWithItsReference) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(CADENZO_EDID_FILES) + "/monitors"))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 260u);

    unsigned names = 0, ranges = 0, offsets = 0, noRanges = 0, gtfLines = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        Reference ref = ReadReference(path);
        ASSERT_GE(ref.bytes.size(), monitor::EdidBlockSize);
        monitor::Edid edid = monitor::ReadEdid(ref.bytes);

        EXPECT_EQ(edid.manufacturer, ref.manufacturer.value_or("?"));
        EXPECT_EQ(edid.productCode, ref.productCode.value_or(~0u));
        EXPECT_EQ(std::to_string(edid.version) + "." + std::to_string(edid.revision),
                  ref.version.value_or("?"));
        // A monitor may carry several name descriptors, some of them empty: the name is the
        // first that is not.
        auto name = std::find_if(ref.names.begin(), ref.names.end(),
                                 [](const std::string& n) { return !n.empty(); });
        EXPECT_EQ(edid.productName, name == ref.names.end() ? "" : *name);
        names += name != ref.names.end();
        if (ref.ranges.empty()) {
            EXPECT_EQ(edid.status, EdidStatus::NoRangeDescriptor);
            ++noRanges;
        } else {
            EXPECT_EQ(edid.status, EdidStatus::Usable);
            ASSERT_TRUE(edid.ranges);
            const monitor::RangeLimits& r = *edid.ranges;
            EXPECT_EQ((std::vector<unsigned>{r.minVerticalHz, r.maxVerticalHz, r.minHorizontalKHz,
                                             r.maxHorizontalKHz, r.maxPixelClockMHz}),
                      ref.ranges);
            ++ranges;
            offsets += UsesRangeOffsets(ref.bytes);
        }
        for (const Reference::GtfLine& line : ref.gtf) {
            monitor::GtfEstimate gtf =
                monitor::EstimateGtf(line.width, line.height, std::round(line.rate));
            EXPECT_PRED2(WithinPerMille, gtf.horizontalKHz, line.kHz)
                << line.width << "x" << line.height << "@" << line.rate;
            EXPECT_PRED2(WithinPerMille, gtf.pixelClockMHz, line.mHz)
                << line.width << "x" << line.height << "@" << line.rate;
            ++gtfLines;
        }
    }
    std::cout << "EDID agreement: " << files.size() << " files, " << names << " names, " << ranges
              << " ranges (" << offsets << " with +255 offsets), " << noRanges
              << " without a range descriptor, " << gtfLines << " GTF lines\n";
}

// A CRT's base block: EDID 1.3, ranges 50-85 Hz, 30-70 kHz, 140 MHz, named "Cadenzo CRT", with
// its checksum in its last byte.
using demo::CrtBlock;
using demo::Summed;

TEST(EdidTest, ABlockSaysWhyItCannotAnswer) {
    EXPECT_EQ(monitor::ReadEdid(CrtBlock()).status, EdidStatus::Usable);
    std::vector<std::uint8_t> extended = CrtBlock();  // extension blocks are not read
    extended.resize(2 * monitor::EdidBlockSize, 0xFF);
    EXPECT_EQ(monitor::ReadEdid(extended).status, EdidStatus::Usable);

    EXPECT_EQ(monitor::ReadEdid({}).status, EdidStatus::NoEdid);
    std::vector<std::uint8_t> b = CrtBlock();
    EXPECT_EQ(monitor::ReadEdid(b.data(), b.size() - 1).status, EdidStatus::TooShort);
    b[7] = 0xFF;
    EXPECT_EQ(monitor::ReadEdid(Summed(b)).status, EdidStatus::BadHeader);
    // A bad sum still names the monitor for the report.
    b = CrtBlock();
    ++b[20];
    EXPECT_EQ(monitor::ReadEdid(b).status, EdidStatus::BadChecksum);
    EXPECT_EQ(monitor::ReadEdid(b).productName, "Cadenzo CRT");
    // A detailed timing (its pixel clock is not 0) that happens to hold 0xFD is no range.
    b = CrtBlock();
    b[72] = 0x01;
    EXPECT_EQ(monitor::ReadEdid(Summed(b)).status, EdidStatus::NoRangeDescriptor);
    EXPECT_STREQ(monitor::EdidStatusText(EdidStatus::NoRangeDescriptor), "no range descriptor");

    // The "+255" offsets the real monitors do not show: both vertical limits, and the
    // reserved setting, which adds nothing.
    monitor::RangeLimits both = *monitor::ReadEdid(CrtBlock(0x03)).ranges;
    EXPECT_EQ(both.minVerticalHz, 305u);
    EXPECT_EQ(both.maxVerticalHz, 340u);
    EXPECT_EQ(monitor::ReadEdid(CrtBlock(0x01)).ranges->minVerticalHz, 50u);
    EXPECT_EQ(monitor::ReadEdid(CrtBlock(0x01)).ranges->maxVerticalHz, 85u);
}

TEST(EdidTest, ModesBeyondTheRangesAreNamedWithWhatTheyNeed) {
    monitor::RangeLimits crt{50, 85, 30, 70, 140};
    std::vector<monitor::ModeBeyondLimits> beyond = monitor::ModesBeyondLimits(
        crt, {{1024, 768, 85}, {1024, 768, 100}, {1280, 1024, 60}, {1600, 1200, 75}});
    ASSERT_EQ(beyond.size(), 2u);  // 1280x1024 at 60 Hz needs 63.6 kHz and 108.9 MHz: within
    EXPECT_EQ(beyond[0].mode.rate, 100u);
    ASSERT_EQ(beyond[0].excesses.size(), 2u);
    EXPECT_EQ(beyond[0].excesses[0].limit, monitor::Limit::VerticalRate);
    EXPECT_EQ(beyond[0].excesses[0].maximum, 85);
    EXPECT_EQ(beyond[0].excesses[1].limit, monitor::Limit::HorizontalFrequency);
    EXPECT_NEAR(beyond[0].excesses[1].needs, 81.4, 1e-9);  // 814 lines a frame
    EXPECT_EQ(beyond[1].mode.width, 1600u);
    EXPECT_EQ(beyond[1].excesses.back().limit, monitor::Limit::PixelClock);
    EXPECT_EQ(beyond[1].excesses.back().maximum, 140);
    // A monitor that gives no pixel clock is checked on its rates alone.
    crt.maxPixelClockMHz = 0;
    EXPECT_TRUE(monitor::ModesBeyondLimits(crt, {{1600, 1200, 50}}).empty());

    EXPECT_EQ(monitor::HighestRateWithin({50, 85, 30, 70, 140}, 1024, 768), 85u);
    EXPECT_EQ(monitor::HighestRateWithin({50, 85, 30, 70, 140}, 1280, 1024), 65u);
    EXPECT_EQ(monitor::HighestRateWithin({50, 85, 30, 70, 140}, 2560, 1600), std::nullopt);
    // A small mode's line rate stays below a minimum of 40 kHz even at 160 Hz (35.2 kHz).
    EXPECT_EQ(monitor::HighestRateWithin({50, 160, 40, 96, 0}, 320, 200), std::nullopt);

    // No timing at all rather than a negative one; widths are whole character cells.
    EXPECT_EQ(monitor::EstimateGtf(640, 480, 0).horizontalKHz, 0);
    EXPECT_EQ(monitor::EstimateGtf(640, 480, 2000).horizontalKHz, 0);
    EXPECT_EQ(monitor::EstimateGtf(1366, 768, 60).pixelClockMHz,
              monitor::EstimateGtf(1368, 768, 60).pixelClockMHz);
}

TEST(EdidTest, TheMonitorsEdidIsFoundByItsDriverKey) {
    platform::FakeWindows win;
    demo::SeedAdapter(win);
    auto read = [&] {
        return monitor::MonitorEdidBytes(win.display, win.registry, demo::DeviceName);
    };
    EXPECT_TRUE(read().empty());  // no monitor on the adapter

    demo::SeedMonitor(win, CrtBlock());
    // Another instance of the same model, listed first, belongs to another monitor.
    const std::string model = std::string(monitor::MonitorEnumKey) + "\\CAD1234";
    win.registry.SeedString(model + "\\1&0&UID0", monitor::MonitorDriverValue,
                            "{4D36E96E-E325-11CE-BFC1-08002BE10318}\\0007");
    win.registry.Seed(model + "\\1&0&UID0\\" + monitor::MonitorParametersKey, monitor::EdidValue,
                      platform::RegBinary, {1, 2, 3});
    EXPECT_EQ(read(), CrtBlock());
    EXPECT_EQ(monitor::ReadMonitorEdid(win.display, win.registry, demo::DeviceName).productName,
              "Cadenzo CRT");
    EXPECT_TRUE(monitor::MonitorEdidBytes(win.display, win.registry, "\\\\.\\DISPLAY2").empty());

    // A value of the wrong type, a key without it, a device id of another form: no EDID.
    const std::string parameters = model + "\\5&1A2B3C&0&UID4352\\" + monitor::MonitorParametersKey;
    win.registry.Seed(parameters, monitor::EdidValue, platform::RegSz, CrtBlock());
    EXPECT_TRUE(read().empty());
    // Where Windows could not read the monitor's EDID, it leaves "BAD_EDID" instead.
    win.registry.DeleteKeyTree(parameters);
    win.registry.Seed(parameters, "BAD_EDID", platform::RegBinary, {});
    EXPECT_TRUE(read().empty());
    win.display.devices[0].monitors[0].deviceId = "MONITOR\\CAD1234";
    EXPECT_TRUE(read().empty());
}

}  // namespace
