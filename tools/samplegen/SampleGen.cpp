#include "tools/samplegen/SampleGen.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kRate = 22050;

void Put16(std::string& out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutBig32(std::string& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

std::string Wave(const std::vector<std::int16_t>& samples)
{
    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + dataSize);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);          // PCM
    Put16(out, 1);          // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);  // bytes per second
    Put16(out, 2);          // block
    Put16(out, 16);         // bits
    out += "data";
    Put32(out, dataSize);
    for (std::int16_t s : samples)
        Put16(out, static_cast<std::uint16_t>(s));
    return out;
}

// A sine oscillator by the "magic circle" recurrence, exact in integers.
class Oscillator {
public:
    void SetFrequency(int hz)
    {
        // 2 pi f / rate in 1/65536 steps; near enough for these pitches.
        m_step = static_cast<std::int64_t>(hz) * 411775 / kRate;
    }
    // -32767..32767
    int Next()
    {
        m_x -= (m_step * m_y) >> 16;
        m_y += (m_step * m_x) >> 16;
        return static_cast<int>(std::clamp<std::int64_t>(m_y >> 8, -32767, 32767));
    }

private:
    std::int64_t m_step = 0;
    std::int64_t m_x = 32767LL << 8;
    std::int64_t m_y = 0;
};

class Noise {
public:
    int Next()  // -16384..16383
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF) - 16384;
    }

private:
    std::uint32_t m_state = 12345;
};

std::int16_t Clip(std::int64_t v)
{
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32767, 32767));
}

// Linear fade over the last few milliseconds, so the end does not click.
void FadeOut(std::vector<std::int16_t>& samples, int count)
{
    const int n = static_cast<int>(samples.size());
    for (int i = std::max(0, n - count); i < n; ++i)
        samples[i] = static_cast<std::int16_t>(samples[i] * (n - 1 - i) / count);
}

// A light wooden tick: two quickly dying partials over a short touch of noise.
std::vector<std::int16_t> Click()
{
    const int length = kRate * 45 / 1000;
    std::vector<std::int16_t> out(length);
    Oscillator low, high;
    low.SetFrequency(1760);
    high.SetFrequency(2640);
    Noise noise;
    std::int64_t env = 1 << 16;
    for (int i = 0; i < length; ++i) {
        std::int64_t tone = low.Next() * 3 + high.Next();               // up to 4 x 32767
        std::int64_t touch = i < kRate / 1000 ? noise.Next() * 2 : 0;   // first millisecond
        out[i] = Clip(((tone * env) >> 19) + touch / 3);
        env = env * 64930 >> 16;  // about 7 ms to a third
    }
    FadeOut(out, kRate * 3 / 1000);
    return out;
}

// A soft burst: darkening noise over a falling tone, quick in, slow out.
std::vector<std::int16_t> Burst()
{
    const int length = kRate * 450 / 1000;
    const int attack = kRate * 12 / 1000;
    std::vector<std::int16_t> out(length);
    Oscillator tone;
    Noise noise;
    std::int64_t filtered = 0;
    std::int64_t env = 1 << 16;
    for (int i = 0; i < length; ++i) {
        tone.SetFrequency(880 - 560 * i / length);
        // One-pole low-pass whose corner closes as the burst fades.
        const std::int64_t open = 26000 - 22000LL * i / length;  // of 65536
        filtered += ((noise.Next() * 2 - filtered) * open) >> 16;
        std::int64_t rise = i < attack ? (static_cast<std::int64_t>(i) << 16) / attack : 1 << 16;
        std::int64_t mix = filtered * 3 / 2 + tone.Next() / 3;
        out[i] = Clip((((mix * env) >> 16) * rise) >> 17);
        if (i >= attack)
            env = env * 65500 >> 16;  // about 40 ms to a half
    }
    FadeOut(out, kRate * 5 / 1000);
    return out;
}

// --- MIDI ---------------------------------------------------------------

constexpr int kDivision = 480;        // ticks per quarter note
constexpr int kEighth = kDivision / 2;

struct Event {
    int tick;
    int order;  // meta first, then note-offs, then everything else
    std::string bytes;
};

struct Note {
    int start;   // in eighths
    int length;  // in eighths
    int key;
};

struct Part {
    int channel;
    int program;
    int velocity;
    int volume;
    std::vector<Note> notes;
};

void PutVarLen(std::string& out, std::uint32_t v)
{
    char bytes[5];
    int n = 0;
    bytes[n++] = static_cast<char>(v & 0x7F);
    while (v >>= 7)
        bytes[n++] = static_cast<char>(0x80 | (v & 0x7F));
    while (n > 0)
        out.push_back(bytes[--n]);
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

// A type 0 file: every part in one track, looping cleanly after `bars`.
std::string Midi(const std::string& title, int microsPerQuarter, int bars,
                 const std::vector<Part>& parts)
{
    std::vector<Event> events;
    events.push_back({0, 0, Bytes({0xFF, 0x03, static_cast<int>(title.size())}) + title});
    events.push_back({0, 0, Bytes({0xFF, 0x51, 0x03, (microsPerQuarter >> 16) & 0xFF,
                                   (microsPerQuarter >> 8) & 0xFF, microsPerQuarter & 0xFF})});
    events.push_back({0, 0, Bytes({0xFF, 0x58, 0x04, 4, 2, 24, 8})});  // 4/4
    for (const Part& p : parts) {
        events.push_back({0, 2, Bytes({0xC0 | p.channel, p.program})});
        events.push_back({0, 2, Bytes({0xB0 | p.channel, 7, p.volume})});
        events.push_back({0, 2, Bytes({0xB0 | p.channel, 91, 40})});  // a little reverb
        for (const Note& n : p.notes) {
            events.push_back({n.start * kEighth, 3, Bytes({0x90 | p.channel, n.key, p.velocity})});
            events.push_back({(n.start + n.length) * kEighth, 1,
                              Bytes({0x80 | p.channel, n.key, 0x40})});
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });

    std::string track;
    int now = 0;
    for (const Event& e : events) {
        PutVarLen(track, static_cast<std::uint32_t>(e.tick - now));
        track += e.bytes;
        now = e.tick;
    }
    PutVarLen(track, static_cast<std::uint32_t>(bars * 8 * kEighth - now));
    track += Bytes({0xFF, 0x2F, 0x00});

    std::string out = "MThd";
    PutBig32(out, 6);
    out += Bytes({0, 0, 0, 1, kDivision >> 8, kDivision & 0xFF});
    out += "MTrk";
    PutBig32(out, static_cast<std::uint32_t>(track.size()));
    return out + track;
}

// Whole-bar notes from a list of keys per bar.
std::vector<Note> Held(std::initializer_list<std::initializer_list<int>> bars)
{
    std::vector<Note> notes;
    int bar = 0;
    for (const auto& keys : bars) {
        for (int key : keys)
            notes.push_back({bar * 8, 8, key});
        ++bar;
    }
    return notes;
}

// Eighth notes, one after another.
std::vector<Note> Run(std::initializer_list<int> keys)
{
    std::vector<Note> notes;
    int at = 0;
    for (int key : keys)
        notes.push_back({at++, 1, key});
    return notes;
}

// C major, music box over strings: C, Am, F, G.
std::string LoopOne()
{
    Part melody{0, 10, 84, 100, {
        {0, 2, 76}, {2, 2, 79}, {4, 1, 81}, {5, 1, 79}, {6, 2, 76},
        {8, 2, 72}, {10, 2, 76}, {12, 3, 74}, {15, 1, 72},
        {16, 2, 69}, {18, 2, 72}, {20, 2, 77}, {22, 2, 76},
        {24, 3, 74}, {27, 1, 76}, {28, 2, 74}, {30, 2, 67},
    }};
    Part chords{1, 48, 48, 80, Held({{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}})};
    Part bass{2, 33, 70, 90, {
        {0, 4, 48}, {4, 4, 43}, {8, 4, 45}, {12, 4, 40},
        {16, 4, 41}, {20, 4, 48}, {24, 4, 43}, {28, 4, 50},
    }};
    return Midi("Veloma loop 1", 625000, 4, {melody, chords, bass});
}

// D pentatonic, koto arpeggios under a flute.
std::string LoopTwo()
{
    Part koto{0, 107, 72, 100, Run({
        62, 69, 74, 76, 81, 76, 74, 69,
        59, 64, 71, 74, 76, 74, 71, 64,
        55, 62, 67, 69, 71, 69, 67, 62,
        57, 64, 69, 71, 74, 71, 69, 64,
    })};
    Part flute{1, 73, 70, 85, {
        {0, 4, 81}, {4, 2, 83}, {6, 2, 81},
        {8, 3, 79}, {11, 1, 76}, {12, 4, 74},
        {16, 2, 76}, {18, 2, 79}, {20, 3, 81}, {23, 1, 79},
        {24, 6, 76}, {30, 2, 74},
    }};
    Part bass{2, 32, 66, 90, Held({{50}, {47}, {43}, {45}})};
    return Midi("Veloma loop 2", 681818, 4, {koto, flute, bass});  // 88 a minute
}

} // namespace

std::vector<SampleFile> GenerateSamples()
{
    return {
        {"select.wav", Wave(Click())},
        {"disappear.wav", Wave(Burst())},
        {"loop1.mid", LoopOne()},
        {"loop2.mid", LoopTwo()},
        {"velomass.lst", "loop1.mid\r\nloop2.mid\r\n"},
    };
}
