#include "tools/samplegen/SampleGen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "sound/PlayList.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

unsigned Le(const std::string& b, std::size_t at, int size)
{
    unsigned v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b.at(at + i));
    return v;
}

unsigned Be(const std::string& b, std::size_t at, int size)
{
    unsigned v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | static_cast<unsigned char>(b.at(at + i));
    return v;
}

const SampleFile* Find(const std::vector<SampleFile>& files, const std::string& name)
{
    for (const SampleFile& f : files)
        if (f.name == name)
            return &f;
    return nullptr;
}

TEST(SampleGenTest, CommittedSamplesAreWhatTheGeneratorMakes)
{
    for (const SampleFile& made : GenerateSamples()) {
        const std::string committed = ReadFile(std::string(VELOMA_SAMPLES_DIR) + "/" + made.name);
        if (committed == made.bytes)
            continue;
        std::size_t at = 0;
        while (at < committed.size() && at < made.bytes.size() && committed[at] == made.bytes[at])
            ++at;
        ADD_FAILURE() << made.name << ": made " << made.bytes.size() << " bytes, committed "
                      << committed.size() << "; first difference at byte " << at;
    }
}

TEST(SampleGenTest, WavesAreSmallAudiblePcm)
{
    const auto files = GenerateSamples();
    struct Case { const char* name; int minMs, maxMs; };
    for (const Case& c : {Case{"select.wav", 20, 100}, Case{"disappear.wav", 200, 800}}) {
        const SampleFile* f = Find(files, c.name);
        ASSERT_NE(f, nullptr) << c.name;
        const std::string& b = f->bytes;
        ASSERT_GE(b.size(), 44u) << c.name;
        EXPECT_EQ(b.substr(0, 4) + b.substr(8, 8), "RIFFWAVEfmt ") << c.name;
        EXPECT_EQ(Le(b, 4, 4), b.size() - 8) << c.name << " RIFF size";
        EXPECT_EQ(Le(b, 16, 4), 16u) << c.name;
        EXPECT_EQ(Le(b, 20, 2), 1u) << c.name << " format";
        EXPECT_EQ(Le(b, 22, 2), 1u) << c.name << " channels";
        const unsigned rate = Le(b, 24, 4);
        EXPECT_EQ(Le(b, 28, 4), rate * 2) << c.name << " bytes per second";
        EXPECT_EQ(Le(b, 32, 2), 2u) << c.name << " block";
        EXPECT_EQ(Le(b, 34, 2), 16u) << c.name << " bits";
        EXPECT_EQ(b.substr(36, 4), "data") << c.name;
        EXPECT_EQ(Le(b, 40, 4), b.size() - 44) << c.name << " data size";

        const std::size_t count = (b.size() - 44) / 2;
        const unsigned ms = static_cast<unsigned>(count * 1000 / rate);
        EXPECT_GE(ms, static_cast<unsigned>(c.minMs)) << c.name;
        EXPECT_LE(ms, static_cast<unsigned>(c.maxMs)) << c.name;
        int peak = 0, clipped = 0, last = 0;
        for (std::size_t i = 0; i < count; ++i) {
            last = static_cast<std::int16_t>(Le(b, 44 + 2 * i, 2));
            peak = std::max(peak, std::abs(last));
            clipped += std::abs(last) >= 32767;
        }
        EXPECT_GT(peak, 6000) << c.name << " is too quiet";
        EXPECT_LT(clipped, 4) << c.name << " clips";
        EXPECT_EQ(last, 0) << c.name << " ends with a click";
    }
}

TEST(SampleGenTest, MidiLoopsAreWellFormedTypeZero)
{
    const auto files = GenerateSamples();
    for (const char* name : {"loop1.mid", "loop2.mid"}) {
        const SampleFile* f = Find(files, name);
        ASSERT_NE(f, nullptr) << name;
        const std::string& b = f->bytes;
        ASSERT_GE(b.size(), 22u) << name;
        EXPECT_EQ(b.substr(0, 4), "MThd") << name;
        EXPECT_EQ(Be(b, 4, 4), 6u) << name;
        EXPECT_EQ(Be(b, 8, 2), 0u) << name << " format";
        EXPECT_EQ(Be(b, 10, 2), 1u) << name << " tracks";
        const unsigned division = Be(b, 12, 2);
        EXPECT_EQ(b.substr(14, 4), "MTrk") << name;
        ASSERT_EQ(Be(b, 18, 4), b.size() - 22) << name << " track length";

        // Walk the track: no running status, every note closed, one end.
        std::map<int, int> sounding;  // channel << 8 | key -> count
        std::size_t at = 22;
        unsigned tick = 0, notes = 0;
        bool ended = false;
        while (at < b.size() && !ended) {
            unsigned delta = 0, byte;
            do {
                byte = static_cast<unsigned char>(b.at(at++));
                delta = delta << 7 | (byte & 0x7F);
            } while (byte & 0x80);
            tick += delta;
            const unsigned status = static_cast<unsigned char>(b.at(at++));
            ASSERT_GE(status, 0x80u) << name << " running status at byte " << at - 1;
            if (status == 0xFF) {
                const unsigned type = static_cast<unsigned char>(b.at(at));
                const unsigned length = static_cast<unsigned char>(b.at(at + 1));
                ended = type == 0x2F;
                at += 2 + length;
                continue;
            }
            const unsigned kind = status & 0xF0, channel = status & 0x0F;
            const int key = static_cast<unsigned char>(b.at(at));
            ASSERT_LT(key, 0x80) << name;
            if (kind == 0x90 && b.at(at + 1) != 0) {
                ++sounding[channel << 8 | key];
                ++notes;
            } else if (kind == 0x80 || kind == 0x90) {
                EXPECT_GT(sounding[channel << 8 | key]--, 0) << name << " stray note-off " << key;
            }
            at += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        }
        EXPECT_TRUE(ended) << name << " has no end of track";
        EXPECT_EQ(at, b.size()) << name << " bytes after the end of track";
        EXPECT_GE(notes, 16u) << name;
        for (const auto& s : sounding)
            EXPECT_EQ(s.second, 0) << name << " note " << (s.first & 0xFF) << " left sounding";
        EXPECT_EQ(tick % (4 * division), 0u) << name << " does not end on a bar line";
        EXPECT_GE(tick / (4 * division), 2u) << name << " bars";
    }
}

TEST(SampleGenTest, PlayListNamesBothLoops)
{
    const auto files = GenerateSamples();
    const SampleFile* list = Find(files, "velomass.lst");
    ASSERT_NE(list, nullptr);
    std::vector<std::string> entries;
    std::istringstream in(list->bytes);
    for (std::string line; std::getline(in, line);) {
        TrimTrailingSpace(line);
        if (!line.empty())
            entries.push_back(line);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"loop1.mid", "loop2.mid"}));
    for (const std::string& e : entries)
        EXPECT_NE(Find(files, e), nullptr) << e;
}

} // namespace
