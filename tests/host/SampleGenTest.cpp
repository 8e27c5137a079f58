#include "tools/samplegen/SampleGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace {

unsigned Field(const std::string& b, std::size_t at, int size, bool littleEndian)
{
    unsigned v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | static_cast<unsigned char>(b.at(at + (littleEndian ? size - 1 - i : i)));
    return v;
}

std::string Bytes(std::size_t v, int size, bool littleEndian)
{
    std::string b;
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<char>(v >> 8 * (littleEndian ? i : size - 1 - i)));
    return b;
}

// Each committed sample is what the generator makes, and each is sound:
// short audible mono PCM waves, type 0 MIDI loops of whole bars with every
// note closed, and a play list naming both loops.
TEST(SampleGenTest, CommittedSamplesAreWhatTheGeneratorMakesAndWellFormed)
{
    std::map<std::string, std::string> made;
    for (const SampleFile& f : GenerateSamples()) {
        std::ifstream in(std::string(VELOMA_SAMPLES_DIR) + "/" + f.name, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == f.bytes) << f.name << " differs";
        made[f.name] = f.bytes;
    }
    EXPECT_EQ(made["velomass.lst"], "loop1.mid\r\nloop2.mid\r\n");

    const struct { const char* name; unsigned minMs, maxMs; } waves[] = {
        {"select.wav", 20, 100}, {"disappear.wav", 200, 800}};
    for (const auto& w : waves) {
        const std::string& b = made[w.name];
        const unsigned rate = Field(b, 24, 4, true);
        EXPECT_EQ(b.substr(0, 44), "RIFF" + Bytes(b.size() - 8, 4, true) + "WAVEfmt " + Bytes(16, 4, true) +
                                       Bytes(0x10001, 4, true) + Bytes(rate, 4, true) + Bytes(rate * 2, 4, true) +
                                       Bytes(0x100002, 4, true) + "data" + Bytes(b.size() - 44, 4, true))
            << w.name;
        const std::size_t count = (b.size() - 44) / 2;
        int peak = 0, last = 0;
        for (std::size_t i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(last = static_cast<std::int16_t>(Field(b, 44 + 2 * i, 2, true))));
        EXPECT_TRUE(count * 1000 / rate >= w.minMs && count * 1000 / rate <= w.maxMs) << w.name;
        EXPECT_TRUE(peak > 6000 && peak < 32767 && last == 0) << w.name << ": peak " << peak << ", last " << last;
    }

    for (const char* name : {"loop1.mid", "loop2.mid"}) {
        const std::string& b = made[name];
        const unsigned division = Field(b, 12, 2, false), bar = 4 * division;
        ASSERT_EQ(b.substr(0, 22), "MThd" + Bytes(6, 4, false) + Bytes(1, 4, false) + Bytes(division, 2, false) +
                                       "MTrk" + Bytes(b.size() - 22, 4, false)) << name;
        // Walk the track: no running status, every note closed, the end last.
        std::map<int, int> sounding;  // channel << 8 | key -> notes on
        std::size_t at = 22;
        unsigned tick = 0, notes = 0, delta = 0;
        while (at < b.size()) {
            const unsigned byte = Field(b, at++, 1, false);
            delta = delta << 7 | (byte & 0x7F);
            if (byte & 0x80)
                continue;
            tick += delta, delta = 0;
            const unsigned status = Field(b, at, 1, false), kind = status & 0xF0;
            const int note = static_cast<int>((status & 0x0F) << 8 | Field(b, at + 1, 1, false));
            ASSERT_GE(status, 0x80u) << name << " running status at byte " << at;
            if (kind == 0x90 && b.at(at + 2) != 0)
                ++sounding[note], ++notes;
            else if (kind == 0x80 || kind == 0x90)
                EXPECT_GT(sounding[note]--, 0) << name << " stray note-off at byte " << at;
            at += status == 0xFF ? 3 + Field(b, at + 2, 1, false) : kind == 0xC0 || kind == 0xD0 ? 2 : 3;
        }
        EXPECT_TRUE(at == b.size() && b.substr(b.size() - 3) == std::string("\xFF\x2F\x00", 3)) << name;
        for (const auto& s : sounding)
            EXPECT_EQ(s.second, 0) << name << " note " << (s.first & 0xFF) << " left sounding";
        EXPECT_TRUE(notes >= 16 && tick % bar == 0 && tick / bar >= 2)
            << name << ": " << notes << " notes over " << tick << " ticks, bars of " << bar;
    }
}

} // namespace
