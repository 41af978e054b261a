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
        if (std::regex_search(line, m, kName)) ref.names.push_back(m[1]);
        if (!ref.manufacturer && std::regex_search(line, m, kManufacturer)) ref.manufacturer = m[1];
        if (!ref.productCode && std::regex_search(line, m, kModel))
            ref.productCode = std::stoul(m[1]);
        if (!ref.version && std::regex_search(line, m, kVersion)) ref.version = m[1];
        if (ref.ranges.empty() && std::regex_search(line, m, kRanges)) {
            for (int i = 1; i <= 5; ++i)
                ref.ranges.push_back(std::stoul(m[i]));
        }
        if (std::regex_search(line, m, kGtf)) {
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

}  // namespace
