#include "sound/SoundPlayer.h"

#include <gtest/gtest.h>

#include "host/SoundFakes.h"

namespace {

using namespace soundfakes;
using Texts = std::vector<std::string>;

std::string Show(const Texts& texts)
{
    std::string s = "[";
    for (const std::string& t : texts)
        s += "\n    \"" + t + "\"";
    return s + " ]";
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SoundPlayer::s_nListPos = 0;
        settings.BGM = 1;
        settings.BGMRandomPlay = 0;
        for (const char* name : {"a.mid", "b.mid", "c.mid"})
            files.Add(std::string("d:\\music\\") + name);
        files.Add("d:\\music\\set.lst", "a.mid\r\nb.mid\r\nc.mid\r\n");
    }

    // One start and stop; the file that was opened, "" when none.
    std::string StartAndStop()
    {
        mci.sent.clear();
        player.StartMusic(true);
        std::string opened = settings.MIDI;
        player.StartMusic(false);
        return opened;
    }

    SaverSettings settings;
    RecordingMci mci;
    RecordingWave wave;
    FakeFileSystem files;
    MsvcRandom random{20240601};
    SoundServices services{mci, wave, files, random};
    SoundPlayer player{settings, services};
};

TEST_F(SoundPlayerTest, SingleFileLoopsWithTheExactCommands)
{
    settings.MIDI = "D:\\Music\\A.MID";
    player.StartMusic(true);
    EXPECT_EQ(settings.MIDI, "d:\\music\\a.mid");
    player.OnMciNotify(kMciNotifySuccessful);
    player.StartMusic(false);

    const Texts want = {
        "open d:\\music\\a.mid type sequencer",
        "play d:\\music\\a.mid from 0 notify",
        "status d:\\music\\a.mid mode",
        "play d:\\music\\a.mid from 0 notify",
        "close d:\\music\\a.mid",
    };
    EXPECT_EQ(mci.Texts(), want) << "got " << Show(mci.Texts()) << "\nwant " << Show(want);
    ASSERT_EQ(mci.sent.size(), 5u);
    const bool notify[] = {false, true, false, true, false};
    const bool reply[] = {false, false, true, false, false};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(mci.sent[i].notify, notify[i]) << mci.sent[i].text;
        EXPECT_EQ(mci.sent[i].wantsReply, reply[i]) << mci.sent[i].text;
    }
    // The single file stays for the next start.
    EXPECT_EQ(settings.MIDI, "d:\\music\\a.mid");
    EXPECT_EQ(player.m_strListFile, "");
}

TEST_F(SoundPlayerTest, InOrderListPlaysTheFirstEntryEveryStart)
{
    settings.MIDI = "D:\\MUSIC\\SET.LST";
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(StartAndStop(), "d:\\music\\a.mid") << "start " << i;
        const Texts want = {
            "open d:\\music\\a.mid type sequencer",
            "play d:\\music\\a.mid from 0 notify",
            "close d:\\music\\a.mid",
        };
        EXPECT_EQ(mci.Texts(), want) << "start " << i << " got " << Show(mci.Texts());
        EXPECT_EQ(settings.MIDI, "d:\\music\\set.lst") << "start " << i;
    }
}

TEST_F(SoundPlayerTest, RandomListPlaysEachEntryAboutAThird)
{
    settings.BGMRandomPlay = 1;
    settings.MIDI = "d:\\music\\set.lst";
    std::map<std::string, int> seen;
    const int starts = 3000;
    for (int i = 0; i < starts; ++i)
        ++seen[StartAndStop()];
    EXPECT_EQ(seen[""], 0);
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) {
        int n = seen[std::string("d:\\music\\") + name];
        EXPECT_GT(n, starts / 3 - 150) << name << " chosen " << n << " times";
        EXPECT_LT(n, starts / 3 + 150) << name << " chosen " << n << " times";
    }
}

TEST_F(SoundPlayerTest, NoUsableEntryMeansNoMusicAndNoCommand)
{
    files.Add("d:\\music\\locked.lst", "a.mid\n");
    files.Lock("d:\\music\\locked.lst");
    struct Case {
        const char* name;
        std::string bytes;         // list content; nullptr-like "-" for no list
        const char* midiAfterStop; // what the next start will read
    };
    const Case cases[] = {
        {"missing entry", "nothere.mid\r\n", "d:\\music\\x.lst"},
        {"empty list", "", "d:\\music\\x.lst"},
        {"blank lines only", "\r\n  \r\n\t\r\n", "d:\\music\\x.lst"},
        {"binary", std::string("\x00\xFF\x1B\x80\x00\r\n\x7F", 8), "d:\\music\\x.lst"},
        {"missing list", "-", ""},
    };
    for (const Case& c : cases) {
        files.Remove("d:\\music\\x.lst");
        if (c.bytes != "-")
            files.Add("d:\\music\\x.lst", c.bytes);
        settings.MIDI = "d:\\music\\x.lst";
        mci.sent.clear();
        player.StartMusic(true);
        EXPECT_EQ(settings.MIDI, "") << c.name;
        player.OnMciNotify(kMciNotifySuccessful);
        player.StartMusic(false);
        EXPECT_EQ(mci.Texts(), Texts{}) << c.name << " sent " << Show(mci.Texts());
        EXPECT_EQ(settings.MIDI, c.midiAfterStop) << c.name;
    }
    settings.MIDI = "d:\\music\\locked.lst";
    mci.sent.clear();
    player.StartMusic(true);
    EXPECT_EQ(mci.Texts(), Texts{}) << "locked list sent " << Show(mci.Texts());
}

TEST_F(SoundPlayerTest, EmptyMidiSendsNothing)
{
    settings.MIDI = "";
    player.StartMusic(true);
    player.OnMciNotify(kMciNotifySuccessful);
    player.StartMusic(false);
    EXPECT_EQ(player.GetMidiMode(""), "");
    EXPECT_EQ(mci.Texts(), Texts{}) << "sent " << Show(mci.Texts());
}

TEST_F(SoundPlayerTest, FailedOpenEmptiesMidi)
{
    mci.errors["open"] = 263;
    settings.MIDI = "d:\\music\\a.mid";
    player.StartMusic(true);
    EXPECT_EQ(settings.MIDI, "");
    player.StartMusic(false);
    EXPECT_EQ(mci.Texts(), Texts{"open d:\\music\\a.mid type sequencer"}) << Show(mci.Texts());

    // From a list the list comes back, so the next start tries again.
    settings.MIDI = "d:\\music\\set.lst";
    player.StartMusic(true);
    EXPECT_EQ(settings.MIDI, "");
    player.StartMusic(false);
    EXPECT_EQ(settings.MIDI, "d:\\music\\set.lst");
}

TEST_F(SoundPlayerTest, CommandsNameTheShortFormQuotedWhenItHasABlank)
{
    files.Add("c:\\my music\\a.mid");
    files.Add("c:\\my songs\\b.mid");
    files.SetShortForm("c:\\my songs\\b.mid", "c:\\mysong~1\\b.mid");
    struct Case { const char* path; const char* form; };
    const Case cases[] = {
        {"c:\\my music\\a.mid", "\"c:\\my music\\a.mid\""},  // 8.3 names off
        {"c:\\my songs\\b.mid", "c:\\mysong~1\\b.mid"},
    };
    for (const Case& c : cases) {
        settings.MIDI = c.path;
        mci.sent.clear();
        player.StartMusic(true);
        player.OnMciNotify(kMciNotifySuccessful);
        player.StartMusic(false);
        const std::string f = c.form;
        const Texts want = {"open " + f + " type sequencer", "play " + f + " from 0 notify",
                            "status " + f + " mode", "play " + f + " from 0 notify", "close " + f};
        EXPECT_EQ(mci.Texts(), want) << "got " << Show(mci.Texts()) << "\nwant " << Show(want);
        EXPECT_EQ(settings.MIDI, c.path);
    }
}

TEST_F(SoundPlayerTest, NoShortFormMeansNoCommandForThatFile)
{
    files.Add("c:\\gone.mid");
    files.DenyShortForm("c:\\gone.mid");
    EXPECT_EQ(player.OpenMidi("c:\\gone.mid"), "");
    player.PlayMidi("c:\\gone.mid");
    EXPECT_EQ(player.GetMidiMode("c:\\gone.mid"), "");
    player.CloseMidi("c:\\gone.mid");
    // A path that is not there at all has no short form either.
    EXPECT_EQ(player.OpenMidi("c:\\never.mid"), "");
    EXPECT_EQ(mci.Texts(), Texts{}) << "sent " << Show(mci.Texts());
}

TEST_F(SoundPlayerTest, ModeQueryGivesTheAnswerOrNothing)
{
    mci.modeReply = "paused";
    EXPECT_EQ(player.GetMidiMode("d:\\music\\a.mid"), "paused");
    mci.errors["status"] = 276;
    EXPECT_EQ(player.GetMidiMode("d:\\music\\a.mid"), "");
}

TEST_F(SoundPlayerTest, CompletionRestartsOnlyAfterANormalEnd)
{
    const std::string status = "status d:\\music\\a.mid mode";
    const std::string play = "play d:\\music\\a.mid from 0 notify";
    struct Case {
        const char* name;
        int bgm;
        std::uintptr_t code;
        const char* mode;  // nullptr: the query fails
        Texts want;
    };
    const Case cases[] = {
        {"normal end", 1, 1, "stopped", {status, play}},
        {"paused", 1, 1, "paused", {status}},
        {"query fails", 1, 1, nullptr, {status, play}},
        {"superseded", 1, 2, "stopped", {}},
        {"aborted by a close", 1, 4, "stopped", {}},
        {"failure", 1, 8, "stopped", {}},
        {"music off", 0, 1, "stopped", {}},
    };
    for (const Case& c : cases) {
        settings.BGM = c.bgm;
        settings.MIDI = "d:\\music\\a.mid";
        mci.sent.clear();
        mci.errors.clear();
        if (c.mode)
            mci.modeReply = c.mode;
        else
            mci.errors["status"] = 276;
        player.OnMciNotify(c.code);
        EXPECT_EQ(mci.Texts(), c.want) << c.name << ": got " << Show(mci.Texts())
                                       << "\nwant " << Show(c.want);
    }
}

TEST_F(SoundPlayerTest, WaveSoundsOnlyWithSoundOnAndAPath)
{
    struct Case { int sound; const char* path; bool plays; };
    const Case cases[] = {
        {0, "c:\\a.wav", false}, {1, "", false}, {0, "", false}, {1, "c:\\a.wav", true},
    };
    for (const Case& c : cases) {
        settings.Sound = c.sound;
        wave.played.clear();
        player.PlayWave(c.path);
        const std::vector<std::string> want = c.plays ? std::vector<std::string>{c.path}
                                                      : std::vector<std::string>{};
        EXPECT_EQ(wave.played, want) << "Sound=" << c.sound << " path \"" << c.path << "\"";
    }
    EXPECT_EQ(mci.Texts(), Texts{});
}

TEST_F(SoundPlayerTest, LowerCasingLeavesJapaneseBytesAlone)
{
    // D:\音楽\曲.MID with fullwidth Ｍ in the folder name.
    const std::string upper = "D:\\\xEF\xBC\xAD\xE9\x9F\xB3\\\xE6\x9B\xB2.MID";
    const std::string lower = "d:\\\xEF\xBC\xAD\xE9\x9F\xB3\\\xE6\x9B\xB2.mid";
    files.Add(lower);
    settings.MIDI = upper;
    player.StartMusic(true);
    EXPECT_EQ(settings.MIDI, lower);
    EXPECT_EQ(mci.Texts().at(0), "open " + lower + " type sequencer");
}

} // namespace
