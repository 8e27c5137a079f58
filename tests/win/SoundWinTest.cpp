// The music and waves through the real MCI, sndPlaySound and file system;
// the notices reaching the board's window are the board window's test.
#include "sound/SoundPlayer.h"
#include "sound/win/SoundDevices.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "base/ValueForms.h"
#include "platform/Text.h"
#include "win/PieceFiles.h"

namespace {

// The real interface, keeping each command's text, marked when it was refused.
struct RecordingSink : MciStringSink {
    std::uint32_t SendCommand(const std::string& command, std::string* reply, bool notify) override
    {
        const std::uint32_t error = MciStringSink::SendCommand(command, reply, notify);
        sent.push_back(error ? command + " -> failed" : command);
        return error;
    }
    std::vector<std::string> sent;
};

// A message box would be a visible window of this process.
BOOL CALLBACK CountVisible(HWND window, LPARAM count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    *reinterpret_cast<int*>(count) += pid == GetCurrentProcessId() && IsWindowVisible(window);
    return TRUE;
}

std::string Sample(const char* name)
{
    std::ifstream in(std::string("Z:" VELOMA_SOURCE_DIR "/samples/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SoundWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"veloma sound " + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_dir.c_str(), nullptr);
        CreateDirectoryW((m_dir + L"\\my music").c_str(), nullptr);
        for (const char* name : {"loop1.mid", "velomass.lst"})
            Put(Widen(name), Sample(name));
        settings.BGMRandomPlay = 0;
        settings.Sound = 1;
    }

    void TearDown() override
    {
        int visible = 0;
        EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&visible));
        EXPECT_EQ(visible, 0) << "a window showed up, a message box?";
        mci.SendCommand("close all", nullptr, false);
        m_made.clear();
        RemoveDirectoryW((m_dir + L"\\my music").c_str());
        RemoveDirectoryW(m_dir.c_str());
    }

    void Put(const std::wstring& name, const std::string& bytes)
    {
        m_made.emplace_back(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), m_dir + L"\\" + name);
    }

    // The path as the core names it: ASCII letters lower-cased.
    std::string Path(const std::wstring& name) const
    {
        std::string path = Narrow(m_dir + L"\\" + name);
        LowerAscii(path);
        return path;
    }

    // The form the commands must carry: the short path, quoted if it has a blank.
    static std::string Form(const std::string& path)
    {
        wchar_t buffer[1024] = {};
        if (!GetShortPathNameW(Widen(path).c_str(), buffer, 1024))
            return "(no short form)";
        const std::string form = Narrow(buffer);
        return form.find(' ') == std::string::npos ? form : '"' + form + '"';
    }

    void Play(const std::string& midi)
    {
        settings.MIDI = midi;
        player.Apply(settings);
        mci.sent.clear();
        player.StartMusic(true);
    }

    std::wstring m_dir;
    std::list<TempFile> m_made;
    RecordingSink mci;
    SndPlaySoundSink wave;
    WinFileSystem files;
    MsvcRandom random{1};
    SoundServices services{mci, wave, files, random};
    Settings settings;
    PlayListPosition position;
    SoundPlayer player{services, position};
};

TEST_F(SoundWinTest, TheSequencerGetsTheShortFormOrNothing)
{
    Put(L"broken.mid", std::string("MThd\0\0\0\x06garbage", 15));
    Put(L"my music\\loop 2.mid", Sample("loop2.mid"));
    const std::wstring japanese = L"\u66F2 \u30C6\u30B9\u30C8.mid";  // 曲 テスト.mid
    Put(japanese, Sample("loop2.mid"));
    const struct { std::wstring name; char result; } cases[] = {
        // o: opens and plays; f: the open fails; -: no short form, so no command
        {L"Loop1.MID", 'o'}, {L"my music\\loop 2.mid", 'o'}, {japanese, 'o'}, {L"broken.mid", 'f'},
        {L"nothere.mid", '-'},
    };
    // What follows the open is the core's, held on the host.
    for (const auto& c : cases) {
        const std::string file = Path(c.name), open = "open " + Form(file) + " type sequencer";
        Play(Narrow(m_dir + L"\\" + c.name));
        EXPECT_EQ(player.Midi(), c.result == 'o' ? file : "") << Narrow(c.name);
        const std::string mode = player.GetMidiMode(player.Midi());
        const std::string want = c.result == '-' ? "" : open + (c.result == 'f' ? " -> failed" : "");
        EXPECT_EQ(mci.sent.empty() ? "" : mci.sent.front(), want) << Narrow(c.name);
        EXPECT_TRUE(c.result != 'o' || (!mode.empty() && mode != "paused")) << "mode " << mode;
        player.StartMusic(false);
    }
}

TEST_F(SoundWinTest, ListsAreReadFromRealFilesInTheAnsiCodePage)
{
    // Held open for writing by someone else, a list still reads.
    const std::wstring list = m_dir + L"\\velomass.lst";
    HANDLE held = CreateFileW(list.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    Play(Path(L"VELOMASS.LST"));
    EXPECT_EQ(player.Midi(), Path(L"loop1.mid"));
    CloseHandle(held);

    // A name the system code page can spell, Japanese where it is 932, in
    // a list written in that code page.
    for (const wchar_t* name : {L"\u66F2.mid", L"caf\u00E9.mid"}) {
        BOOL lossy = FALSE;
        char ansi[64] = {};
        const int n = WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, sizeof ansi, nullptr, &lossy);
        if (n <= 1 || lossy)
            continue;
        Put(name, Sample("loop1.mid"));
        Put(L"ansi.lst", "\r\n" + std::string(ansi) + "  \r\n");
        Play(Path(L"ansi.lst"));
        EXPECT_EQ(player.Midi(), Path(name)) << "code page " << GetACP();
        player.StartMusic(false);
        return;
    }
    FAIL() << "code page " << GetACP() << " spells neither name";
}

static_assert(kMmMciNotify == MM_MCINOTIFY && kMciNotifySuccessful == MCI_NOTIFY_SUCCESSFUL);

// Waves that cannot play, and paths no file answers to, make no sound and
// no message box.
TEST_F(SoundWinTest, WavesAndOddPathsFailSilently)
{
    Put(L"select.wav", Sample("select.wav"));
    Put(L"\u30B3\u30DE.wav", "");  // コマ.wav
    for (const std::string& path : {Path(L"select.wav"), Path(L"nothere.wav"), Path(L"loop1.mid")})
        player.PlayWave(path);
    wave.PlayAsync(std::string("c:\\a.wav\0junk", 13));
    sndPlaySoundW(nullptr, 0);

    const struct { std::string path; bool exists; } cases[] = {
        {Path(L"\u30B3\u30DE.wav"), true}, {Narrow(m_dir), true}, {Path(L"loop?.mid"), true},
        {Path(L"nothere.mid"), false}, {"", false}, {std::string(5000, 'a'), false},
        {Path(L"loop1.mid") + std::string("\0x", 2), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileExists(files, c.path), c.exists) << "\"" << c.path.substr(0, 200) << "\"";
    std::string shortPath;
    EXPECT_FALSE(files.ShortPath(Path(L"*.mid"), shortPath)) << "a pattern has no short form";
    EXPECT_EQ(files.OpenForReading(Narrow(m_dir)), nullptr) << "a folder opened as a list";
    EXPECT_EQ(files.OpenForReading(Path(L"nothere.lst")), nullptr);
}

} // namespace
