#include "sound/PlayList.h"
#include "sound/SoundPlayer.h"

#include <gtest/gtest.h>

#include "host/SoundFakes.h"

namespace {

using namespace soundfakes;

std::string Show(const std::vector<std::string>& lines)
{
    std::string text = "[";
    for (const std::string& line : lines) {
        text += " \"";
        for (unsigned char c : line) {
            if (c >= 0x20 && c < 0x7F) {
                text.push_back(static_cast<char>(c));
            } else {
                char hex[8];
                snprintf(hex, sizeof hex, "\\x%02X", c);
                text += hex;
            }
        }
        text += "\"";
    }
    return text + " ]";
}

TEST(PlayListTest, ListTestNeedsTheFirstLstToEndThePath)
{
    struct Case { const char* path; bool list; };
    const Case cases[] = {
        {"D:\\MUSIC\\SET.LST", true},
        {"Music.LST", true},
        {".lst", true},
        {"c:\\\xE9\x9F\xB3\xE6\xA5\xBD\\\xE6\x9B\xB2.Lst", true},  // 音楽\曲.Lst
        {"a.lst.mid", false},
        {"x.lst\\y.lst", false},
        {"a.lst ", false},
        {"a.lstx", false},
        {"a.ls", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPlayList(c.path), c.list) << "path \"" << c.path << "\"";
}

TEST(PlayListTest, ReadsLikeTextModeFgetsWith255)
{
    const std::string x254(254, 'x');
    struct Case { std::string bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"", {}},
        {"a.mid\nb.mid\n", {"a.mid\n", "b.mid\n"}},
        {"a.mid\r\nb.mid", {"a.mid\n", "b.mid"}},           // no line end at the end
        {std::string(300, 'x') + "\n", {x254, std::string(46, 'x') + "\n"}},
        {std::string(253, 'x') + "\r\n", {std::string(253, 'x') + "\n"}},  // CR LF is one byte
        {x254 + "\n", {x254, "\n"}},
        {std::string("a\0b\nc\n", 6), {"a", "c\n"}},         // a C string ends at NUL
        {std::string("\0\0\n", 3), {""}},
        {"a\rb\n", {"a\rb\n"}},                             // a lone CR stays
        {"a\r\r\n", {"a\r\n"}},
        {"a\r", {"a\r"}},
        {"a\x1A" "b\n", {"a"}},                             // Ctrl-Z ends the file
        {"a\r\x1A\n", {"a\r"}},
        {"\x1A", {}},
    };
    for (const Case& c : cases) {
        for (std::size_t piece : {1, 2, 3, 4096}) {
            std::vector<std::string> got = ReadAllLines(c.bytes, piece);
            EXPECT_EQ(got, c.lines) << "bytes " << Show({c.bytes}) << " in pieces of " << piece
                                    << "\n  got  " << Show(got) << "\n  want " << Show(c.lines);
        }
    }
}

TEST(PlayListTest, EndlessLineComesBackIn254BytePieces)
{
    std::vector<std::string> got = ReadAllLines(std::string(100000, 'x'), 4096);
    ASSERT_EQ(got.size(), 394u);  // 393 full pieces and 178 bytes
    for (std::size_t i = 0; i + 1 < got.size(); ++i)
        ASSERT_EQ(got[i].size(), 254u) << "piece " << i;
    EXPECT_EQ(got.back().size(), 178u);
}

TEST(PlayListTest, TrimsTrailingSpaceOnly)
{
    struct Case { std::string in, out; };
    const Case cases[] = {
        {"a.mid \t\r\n", "a.mid"}, {"  a.mid", "  a.mid"}, {" \t\r\n", ""},
        {"", ""}, {"a b.mid\v\f", "a b.mid"},
    };
    for (const Case& c : cases) {
        std::string text = c.in;
        TrimTrailingSpace(text);
        EXPECT_EQ(text, c.out) << "in " << Show({c.in});
    }
}

TEST(PlayListTest, LowerCasesAsciiLettersOnly)
{
    // Fullwidth ＭＩＤ and 曲 keep their bytes.
    std::string text = "D:\\\xEF\xBC\xAD\xEF\xBC\xA9\xEF\xBC\xA4\\\xE6\x9B\xB2.MID";
    LowerAscii(text);
    EXPECT_EQ(text, "d:\\\xEF\xBC\xAD\xEF\xBC\xA9\xEF\xBC\xA4\\\xE6\x9B\xB2.mid");
}

TEST(PlayListTest, DirectoryKeepsItsSeparator)
{
    struct Case { const char* path; const char* dir; };
    const Case cases[] = {
        {"d:\\music\\set.lst", "d:\\music\\"}, {"set.lst", ""},
        {"c:/music/set.lst", "c:/music/"}, {"\\set.lst", "\\"}, {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListDirectory(c.path), c.dir) << "path " << c.path;
}

// A list in d:\music with the chosen files present.
class PlayListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SoundPlayer::s_nListPos = 0;
        settings.BGMRandomPlay = 0;
        for (const char* name : {"a.mid", "b.mid", "c.mid", "d.mid", "e.mid"})
            files.Add(std::string("d:\\music\\") + name);
    }

    std::string Choose(const std::string& list, bool reset = true)
    {
        player.m_strListFile = list;
        player.ScanPlayList();
        return player.NextPlayListEntry(reset);
    }

    SaverSettings settings;
    RecordingMci mci;
    RecordingWave wave;
    FakeFileSystem files;
    MsvcRandom random{1};
    SoundServices services{mci, wave, files, random};
    SoundPlayer player{settings, services};
};

TEST_F(PlayListFixture, CountsEntriesNotBlankLines)
{
    struct Case { std::string bytes; int count; };
    const Case cases[] = {
        {"a.mid\r\nb.mid\r\nc.mid\r\n", 3},
        {"a.mid\r\nb.mid\r\n\r\n  \r\n\t\r\n", 2},
        {"\r\na.mid\r\n\r\nb.mid", 2},
        {"", 0},
        {"\n\n \n", 0},
        {std::string(300, 'x') + "\n", 2},
        {std::string("\0a.mid\nb.mid\n", 13), 1},
    };
    for (const Case& c : cases) {
        files.Add("d:\\music\\set.lst", c.bytes);
        player.m_strListFile = "d:\\music\\set.lst";
        player.ScanPlayList();
        EXPECT_EQ(player.m_nListCount, c.count) << "list " << Show({c.bytes});
        EXPECT_EQ(player.m_strListDir, "d:\\music\\");
        EXPECT_EQ(player.m_strListFile, "d:\\music\\set.lst");
    }
}

TEST_F(PlayListFixture, UnreadableListIsForgotten)
{
    files.Add("d:\\music\\locked.lst", "a.mid\n");
    files.Lock("d:\\music\\locked.lst");
    for (const char* list : {"d:\\music\\none.lst", "d:\\music\\locked.lst", ""}) {
        player.m_strListDir = "stale\\";
        player.m_nListCount = 7;
        EXPECT_EQ(Choose(list), "") << list;
        EXPECT_EQ(player.m_strListFile, "") << list;
        EXPECT_EQ(player.m_strListDir, "") << list;
        EXPECT_EQ(player.m_nListCount, 0) << list;
    }
}

TEST_F(PlayListFixture, InOrderStepsThroughEntriesAndWraps)
{
    files.Add("d:\\music\\set.lst", "a.mid\r\n\r\nb.mid\r\n\r\nc.mid\r\n\r\n");
    const char* want[] = {"a.mid", "b.mid", "c.mid", "a.mid", "b.mid"};
    std::string got = Choose("d:\\music\\set.lst", true);
    EXPECT_EQ(got, std::string("d:\\music\\") + want[0]);
    for (int i = 1; i < 5; ++i) {
        got = player.NextPlayListEntry(false);
        EXPECT_EQ(got, std::string("d:\\music\\") + want[i]) << "step " << i;
    }
}

TEST_F(PlayListFixture, PositionSharedWithALongerListWraps)
{
    files.Add("d:\\music\\five.lst", "a.mid\nb.mid\nc.mid\nd.mid\ne.mid\n");
    files.Add("d:\\music\\two.lst", "a.mid\nb.mid\n");
    Choose("d:\\music\\five.lst");
    for (int i = 0; i < 4; ++i)
        player.NextPlayListEntry(false);
    ASSERT_EQ(SoundPlayer::s_nListPos, 5);

    SoundPlayer other(settings, services);
    other.m_strListFile = "d:\\music\\two.lst";
    other.ScanPlayList();
    EXPECT_EQ(other.NextPlayListEntry(false), "d:\\music\\a.mid");
    EXPECT_EQ(other.NextPlayListEntry(false), "d:\\music\\b.mid");
}

TEST_F(PlayListFixture, EntriesJoinTheListFolder)
{
    files.Add("d:\\music\\sub\\b.mid");
    files.Add("d:\\music\\caf\xC3\xA9.mid");                 // café.mid
    files.Add("c:\\other\\a.mid");
    files.Add("d:\\\xE9\x9F\xB3\xE6\xA5\xBD\\a.mid");           // d:\音楽\a.mid
    files.Add("d:\\\xE9\x9F\xB3\xE6\xA5\xBD\\set.lst", "a.mid\n");
    struct Case { std::string list, entry, want; };
    const Case cases[] = {
        {"d:\\music\\set.lst", "sub\\b.mid\r\n", "d:\\music\\sub\\b.mid"},
        {"d:\\music\\set.lst", "B.MID \t\r\n", "d:\\music\\B.MID"},
        {"d:\\music\\set.lst", "caf\xE9.mid\r\n", "d:\\music\\caf\xC3\xA9.mid"},  // ANSI é
        {"d:\\\xE9\x9F\xB3\xE6\xA5\xBD\\set.lst", "a.mid\n", "d:\\\xE9\x9F\xB3\xE6\xA5\xBD\\a.mid"},
        {"d:\\music\\set.lst", "  a.mid\r\n", ""},                 // leading blanks stay
        {"d:\\music\\set.lst", "c:\\other\\a.mid\r\n", ""},        // joined, so no such file
        {"d:\\music\\set.lst", "nothere.mid\r\n", ""},
        {"d:\\music\\set.lst", "\xFF\xFE" "a\0.\0m\0i\0d\0\r\0\n\0", ""},  // UTF-16
    };
    for (const Case& c : cases) {
        files.Add(c.list, c.entry);
        EXPECT_EQ(Choose(c.list), c.want) << "entry " << Show({c.entry});
    }
}

TEST_F(PlayListFixture, RandomChoiceReachesEveryEntryPastBlankLines)
{
    settings.BGMRandomPlay = 1;
    files.Add("d:\\music\\set.lst", "a.mid\n\n\nb.mid\n \nc.mid\n\n\n");
    std::map<std::string, int> seen;
    const int starts = 3000;
    for (int i = 0; i < starts; ++i)
        ++seen[Choose("d:\\music\\set.lst")];
    EXPECT_EQ(seen.count(""), 0u) << "starts without music: " << seen[""];
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) {
        int n = seen[std::string("d:\\music\\") + name];
        EXPECT_GT(n, starts / 3 - 150) << name;
        EXPECT_LT(n, starts / 3 + 150) << name;
    }
}

TEST_F(PlayListFixture, ListShorterThanItsCountGivesNothing)
{
    files.Add("d:\\music\\set.lst", "a.mid\nb.mid\nc.mid\n");
    Choose("d:\\music\\set.lst");
    files.Add("d:\\music\\set.lst", "a.mid\n");  // rewritten since it was counted
    EXPECT_EQ(player.NextPlayListEntry(false), "");
}

} // namespace
