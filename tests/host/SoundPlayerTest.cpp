#include "sound/PlayList.h"
#include "sound/SoundPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/SettingsFakes.h"
#include "host/SoundFakes.h"

namespace {

using Texts = std::vector<std::string>;
using ::testing::PrintToString;

// Hands out its bytes in pieces of a chosen size, to cross buffer edges.
struct PieceSource : MemoryByteSource {
    PieceSource(const std::string& b, std::size_t piece) : MemoryByteSource(b.data(), b.size()), piece(piece) {}
    std::size_t Read(void* to, std::size_t n) override { return MemoryByteSource::Read(to, std::min(n, piece)); }
    std::size_t piece;
};

TEST(PlayListTest, ReadsLikeTextModeFgetsWith255)
{
    const std::string x254(254, 'x');
    const struct { std::string bytes; Texts lines; } cases[] = {
        {"", {}}, {"a\nb\n", {"a\n", "b\n"}}, {"a\r\nb", {"a\n", "b"}},
        {std::string(300, 'x') + "\n", {x254, std::string(46, 'x') + "\n"}},
        {std::string(253, 'x') + "\r\n", {std::string(253, 'x') + "\n"}},  // CR LF is one byte
        {x254 + "\n", {x254, "\n"}},
        {std::string("a\0b\nc\n", 6), {"a", "c\n"}},                       // C strings
        {"a\rb\n", {"a\rb\n"}}, {"a\r", {"a\r"}},  // a lone CR stays
        {"a\x1A" "b\n", {"a"}},                    // Ctrl-Z ends the file
    };
    for (const auto& c : cases)
        for (std::size_t piece : {1, 3, 4096}) {
            PieceSource source(c.bytes, piece);
            ListLineReader reader(source);
            Texts lines;
            for (std::string line; reader.ReadLine(line);)
                lines.push_back(line);
            EXPECT_EQ(lines, c.lines) << "bytes " << PrintToString(c.bytes) << " in pieces of " << piece;
        }

    const struct { const char* path; bool list; } paths[] = {
        {"D:\\MUSIC\\SET.LST", true}, {"c:\\\xE9\x9F\xB3\\\xE6\x9B\xB2.Lst", true}, {"a.lst.mid", false},
        {"x.lst\\y.lst", false}, {"a.lst ", false}, {"", false}};
    for (const auto& c : paths)
        EXPECT_EQ(IsPlayList(c.path), c.list) << "path " << PrintToString(c.path);
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.BGM = 1, settings.BGMRandomPlay = 0;
        for (const char* name : {"a.mid", "b.mid", "c.mid", "d.mid", "e.mid", "sub\\b.mid"})
            files.Add(std::string("d:\\music\\") + name);
        player.Apply(settings);
    }

    // A start, a normal end and a stop: the music the start chose; `stepped`
    // is what the end moved on to, `after` what the stop left for next time.
    std::string Run(const std::string& midi)
    {
        settings.MIDI = midi;
        player.Apply(settings);
        mci.sent.clear();
        player.StartMusic(true);
        const std::string opened = player.Midi();
        player.OnMciNotify(kMciNotifySuccessful);
        stepped = player.Midi();
        player.StartMusic(false);
        after = player.Midi();
        return opened;
    }

    std::string stepped, after;
    Settings settings;
    RecordingMci mci;
    RecordingWave wave;
    FakeFiles files;
    MsvcRandom random{20240601};
    SoundServices services{mci, wave, files, random};
    PlayListPosition position;
    SoundPlayer player{services, position};
};

TEST_F(SoundPlayerTest, EntriesAreCountedAndJoinTheListFolder)
{
    files.Add("c:/other/b.mid");
    const std::string music = "d:\\music\\set.lst";
    const struct { std::string list, bytes, want; int count; } cases[] = {
        {music, "sub\\b.mid\r\n\r\n  \r\n\t\r\n", "d:\\music\\sub\\b.mid", 1},
        {music, "\r\n\r\nB.MID \t\v\f\r\nc.mid", "d:\\music\\B.MID", 2},
        {music, std::string("\0a.mid\nb.mid\n", 13), "d:\\music\\b.mid", 1},  // NUL: blank
        {"c:/other/set.lst", "b.mid\n", "c:/other/b.mid", 1},
        {music, "  a.mid\r\n", "", 1},  // leading blanks stay
        {music, std::string(300, 'a') + "\n", "", 2},
    };
    for (const auto& c : cases) {
        files.Add(c.list, c.bytes);
        player.ScanPlayList(c.list);
        EXPECT_EQ(player.List().count, c.count) << "list " << PrintToString(c.bytes);
        EXPECT_EQ(player.NextPlayListEntry(true), c.want) << "list " << PrintToString(c.bytes);
    }
}

TEST_F(SoundPlayerTest, InOrderPositionIsSharedAndWraps)
{
    files.Add("d:\\music\\five.lst", "a.mid\n\nb.mid\n\nc.mid\nd.mid\ne.mid\n\n");
    files.Add("d:\\music\\two.lst", "a.mid\nb.mid\n");
    SoundPlayer other(services, position);
    other.Apply(settings);
    player.ScanPlayList("d:\\music\\five.lst");
    other.ScanPlayList("d:\\music\\two.lst");
    // The five-entry list leaves the shared position past the two-entry one.
    for (char want : std::string("abcde"))
        EXPECT_EQ(player.NextPlayListEntry(false), std::string("d:\\music\\") + want + ".mid");
    for (char want : std::string("aba"))
        EXPECT_EQ(other.NextPlayListEntry(false), std::string("d:\\music\\") + want + ".mid");
    // Rewritten shorter since it was counted: nothing, not a wrong entry.
    files.Add("d:\\music\\two.lst", "a.mid\n");
    EXPECT_EQ(other.NextPlayListEntry(false), "");
}

// A start, a loop and a stop; what a stop leaves (a list too) starts next.
TEST_F(SoundPlayerTest, StartsLoopAndStopWithTheExactCommands)
{
    files.Add("d:\\music\\set.lst", "a.mid\r\nb.mid\r\nc.mid\r\n");
    files.Add("d:\\music\\blank.lst", "\r\n  \r\n\t\r\nnothere.mid\r\n");
    files.Add("d:\\music\\gap.lst", "a.mid\nnothere.mid\nc.mid\n");
    files.Add("c:\\my music\\a.mid");
    files.Add("c:\\my songs\\b.mid");
    files.SetShortForm("c:\\my songs\\b.mid", "c:\\mysong~1\\b.mid");
    const std::string a = "d:\\music\\a.mid", my = "c:\\my music\\a.mid";
    // form: the name in the commands; next: the name played after the first piece ends
    const struct { std::string midi, opened, form, after, next; } cases[] = {
        {"D:\\MUSIC\\SET.LST", a, a, "d:\\music\\set.lst", "d:\\music\\b.mid"},  // in order
        {"d:\\music\\gap.lst", a, a, "d:\\music\\gap.lst", "d:\\music\\c.mid"},   // past an entry that is gone
        {"D:\\Music\\A.MID", a, a, a, a},
        {my, my, '"' + my + '"', my, '"' + my + '"'},  // 8.3 names off: quoted
        {"c:\\my songs\\b.mid", "c:\\my songs\\b.mid", "c:\\mysong~1\\b.mid", "c:\\my songs\\b.mid",
         "c:\\mysong~1\\b.mid"},
        {"", "", "", "", ""}, {"d:\\music\\blank.lst", "", "", "d:\\music\\blank.lst", ""},
        {"d:\\music\\none.lst", "", "", "", ""}, {"d:\\music\\never.mid", "", "", "", ""},
    };
    for (const auto& c : cases) {
        const std::string &f = c.form, &n = c.next;
        Texts want;  // nothing to play sends nothing
        if (!c.opened.empty()) {
            want = {"open " + f + " type sequencer", "play " + f + " from 0 notify", "status " + f + " mode"};
            if (n != f)
                want.insert(want.end(), {"close " + f, "open " + n + " type sequencer"});
            want.insert(want.end(), {"play " + n + " from 0 notify", "close " + n});
        }
        // The second start takes what the first left.
        for (const std::string& midi : {c.midi, c.after}) {
            EXPECT_EQ(Run(midi), c.opened) << "from " << midi;
            EXPECT_EQ(mci.sent, want) << "from " << midi;
            EXPECT_EQ(after, c.after) << "from " << midi;
        }
    }
    EXPECT_EQ(mci.misrouted, Texts{}) << "sent with the wrong notice or reply";
}

TEST_F(SoundPlayerTest, RandomListPlaysEachEntryAboutAThirdPastBlankLines)
{
    settings.BGMRandomPlay = 1;
    files.Add("d:\\music\\set.lst", "a.mid\n\n\nb.mid\n \nc.mid\n\n\n");
    std::map<std::string, int> seen, next;
    for (int i = 0; i < 3000; ++i) {
        const std::string opened = Run("d:\\music\\set.lst");
        ++seen[opened], ++next[stepped];
        EXPECT_NE(stepped, opened) << "the same piece again after it ended, start " << i;
    }
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) {
        const std::string path = std::string("d:\\music\\") + name;
        EXPECT_TRUE(seen[path] > 850 && seen[path] < 1150 && next[path] > 850 && next[path] < 1150)
            << name << " started " << seen[path] << " and next " << next[path] << " times of 3000";
    }
}

// A file that goes while it plays is still closed by the name it was
// opened with; a failed open sends nothing more.
TEST_F(SoundPlayerTest, AVanishedFileAndAFailedOpen)
{
    const std::string a = "d:\\music\\a.mid", form = "d:\\music\\a~1.mid";
    files.SetShortForm(a, form);
    settings.MIDI = a;
    player.Apply(settings);
    player.StartMusic(true);
    files.SetShortForm(a, "");  // gone while it plays
    mci.sent.clear();
    player.OnMciNotify(kMciNotifySuccessful);
    player.StartMusic(false);
    EXPECT_EQ(mci.sent, (Texts{"status " + form + " mode", "play " + form + " from 0 notify", "close " + form}));
    files.SetShortForm(a, form);
    EXPECT_EQ(Run(a), a) << "the device was left open";

    files.SetShortForm(a, a);
    files.Add("d:\\music\\set.lst", "a.mid\n");
    mci.errors["open"] = 263;
    EXPECT_EQ(Run(a), "");
    EXPECT_EQ(mci.sent, Texts{"open " + a + " type sequencer"});
    EXPECT_EQ(Run("d:\\music\\set.lst") + after, "d:\\music\\set.lst") << "the list stays for the next start";
}

// A black-out closes the piece; waking plays the same piece from its start
// and the list goes on from there. Settings applied again keep the piece.
TEST_F(SoundPlayerTest, WakingRestartsThePieceAndReappliedSettingsKeepIt)
{
    files.Add("d:\\music\\set.lst", "a.mid\nb.mid\nc.mid\n");
    settings.MIDI = "d:\\music\\set.lst";
    player.Apply(settings);
    player.StartMusic(true);
    player.OnMciNotify(kMciNotifySuccessful);
    player.Apply(settings);
    player.CloseMidi(player.Midi());
    mci.sent.clear();
    player.Restart();
    EXPECT_EQ(mci.sent, (Texts{"open d:\\music\\b.mid type sequencer", "play d:\\music\\b.mid from 0 notify"}));
    player.OnMciNotify(kMciNotifySuccessful);
    EXPECT_EQ(player.Midi(), "d:\\music\\c.mid");
    settings.MIDI = "d:\\music\\a.mid";
    player.Apply(settings);
    EXPECT_EQ(player.Midi(), "d:\\music\\a.mid");
}

TEST_F(SoundPlayerTest, CompletionRestartsOnlyAfterANormalEndAndWavesNeedSound)
{
    const std::string status = "status d:\\music\\a.mid mode", play = "play d:\\music\\a.mid from 0 notify";
    const struct { int bgm; std::uintptr_t code; const char* mode; Texts want; } cases[] = {
        {1, 1, "stopped", {status, play}}, {1, 1, "paused", {status}},
        {1, 1, nullptr, {status, play}},  // the mode query fails
        {1, 2, "stopped", {}}, {1, 4, "stopped", {}}, {1, 8, "stopped", {}},  // superseded, aborted, failed
        {0, 1, "stopped", {}},
    };
    settings.MIDI = "d:\\music\\a.mid";
    for (const auto& c : cases) {
        settings.BGM = c.bgm;
        player.Apply(settings);
        mci.sent.clear();
        mci.errors.clear();
        if (c.mode)
            mci.modeReply = c.mode;
        else
            mci.errors["status"] = 276;
        player.OnMciNotify(c.code);
        EXPECT_EQ(mci.sent, c.want) << "BGM " << c.bgm << ", code " << c.code << ", mode "
                                       << (c.mode ? c.mode : "(query fails)");
    }

    const struct { int sound; const char* path; Texts want; } waves[] = {
        {0, "c:\\a.wav", {}}, {1, "", {}}, {1, "c:\\a.wav", {"c:\\a.wav"}}};
    for (const auto& c : waves) {
        settings.Sound = c.sound;
        player.Apply(settings);
        wave.played.clear();
        player.PlayWave(c.path);
        EXPECT_EQ(wave.played, c.want) << "Sound " << c.sound << ", path \"" << c.path << "\"";
    }
}

} // namespace
