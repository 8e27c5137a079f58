#include "sound/SoundPlayer.h"
#include "sound/WinSound.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "platform/Text.h"

namespace {

struct Sent {
    std::string text;
    bool notify;
    std::uint32_t error;
};

// Passes every command on to the real interface and keeps what went by.
class RecordingSink : public MciCommandSink {
public:
    explicit RecordingSink(MciCommandSink& real) : m_real(real) {}
    std::uint32_t SendCommand(const std::string& command, std::string* reply, bool notify) override
    {
        const std::uint32_t error = m_real.SendCommand(command, reply, notify);
        sent.push_back({command, notify, error});
        return error;
    }
    std::vector<Sent> sent;

private:
    MciCommandSink& m_real;
};

std::string Show(const std::vector<Sent>& sent)
{
    std::string s = "[";
    for (const Sent& c : sent)
        s += "\n    \"" + c.text + "\" -> " + std::to_string(c.error) + (c.notify ? " notify" : "");
    return s + " ]";
}

std::wstring SourcePath(const char* relative)
{
    std::wstring path = L"Z:" + Widen(VELOMA_SOURCE_DIR) + L"/" + Widen(relative);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

struct WindowCount {
    DWORD pid;
    int n;
};

BOOL CALLBACK CountVisible(HWND window, LPARAM param)
{
    auto* count = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == count->pid && IsWindowVisible(window))
        ++count->n;
    return TRUE;
}

// A message box would be a visible window of this process.
int VisibleWindowsOfThisProcess()
{
    WindowCount count{GetCurrentProcessId(), 0};
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

class SoundWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SoundPlayer::s_nListPos = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir = std::wstring(temp) + L"veloma sound " + std::to_wstring(GetCurrentProcessId());
        MakeDir(m_dir);
        for (const char* name : {"loop1.mid", "loop2.mid", "select.wav", "velomass.lst"})
            Copy(std::string("samples/") + name, Widen(name));
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        devices.mci.SetCallbackWindow(m_window);
        settings.BGM = 1;
        settings.BGMRandomPlay = 0;
        settings.Sound = 1;
    }

    void TearDown() override
    {
        devices.mci.SendCommand("close all", nullptr, false);
        DestroyWindow(m_window);
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            if (!DeleteFileW(it->c_str()))
                RemoveDirectoryW(it->c_str());
        RemoveDirectoryW(m_dir.c_str());
    }

    void MakeDir(const std::wstring& dir)
    {
        CreateDirectoryW(dir.c_str(), nullptr);
        m_made.push_back(dir);
    }

    void Copy(const std::string& source, const std::wstring& name)
    {
        const std::wstring to = m_dir + L"\\" + name;
        ASSERT_TRUE(CopyFileW(SourcePath(source.c_str()).c_str(), to.c_str(), FALSE))
            << "copy " << source << " error " << GetLastError();
        m_made.push_back(to);
    }

    void Write(const std::wstring& name, const std::string& bytes)
    {
        const std::wstring path = m_dir + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        m_made.push_back(path);
    }

    std::string Path(const std::wstring& name) const { return Narrow(m_dir + L"\\" + name); }

    // The form the commands must carry: the short path, quoted if it has a blank.
    std::string Form(const std::string& path) const
    {
        wchar_t buffer[1024] = {};
        if (!GetShortPathNameW(Widen(path).c_str(), buffer, 1024))
            return "(no short form)";
        std::string form = Narrow(buffer);
        return form.find(' ') == std::string::npos ? form : '"' + form + '"';
    }

    // Messages for our window that arrive within a short wait.
    std::vector<WPARAM> PumpNotifications()
    {
        std::vector<WPARAM> codes;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 500) {
            MSG msg;
            while (PeekMessageW(&msg, m_window, 0, 0, PM_REMOVE)) {
                if (msg.message == kMmMciNotify)
                    codes.push_back(msg.wParam);
                DispatchMessageW(&msg);
            }
            Sleep(20);
        }
        return codes;
    }

    std::wstring m_dir;
    std::vector<std::wstring> m_made;
    HWND m_window = nullptr;
    Win32SoundDevices devices;
    RecordingSink mci{devices.mci};
    MsvcRandom random{1};
    SoundServices services{mci, devices.wave, devices.files, random};
    SaverSettings settings;
    SoundPlayer player{settings, services};
};

TEST_F(SoundWinTest, SampleOpensPlaysAndClosesWithExactCommands)
{
    std::string file = Path(L"Loop1.MID");
    settings.MIDI = file;
    player.StartMusic(true);
    LowerAscii(file);
    EXPECT_EQ(settings.MIDI, file) << "the open failed: " << Show(mci.sent);
    const std::string form = Form(file);
    const std::string mode = player.GetMidiMode(settings.MIDI);
    EXPECT_FALSE(mode.empty()) << "no mode from the sequencer";
    EXPECT_NE(mode, "paused");
    player.StartMusic(false);

    const std::vector<std::string> want = {
        "open " + form + " type sequencer", "play " + form + " from 0 notify",
        "status " + form + " mode", "close " + form,
    };
    ASSERT_EQ(mci.sent.size(), want.size()) << Show(mci.sent);
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(mci.sent[i].text, want[i]);
        EXPECT_EQ(mci.sent[i].error, 0u) << mci.sent[i].text;
        EXPECT_EQ(mci.sent[i].notify, i == 1) << mci.sent[i].text;
    }
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
}

TEST_F(SoundWinTest, UnplayableFilesLeaveMidiEmptyAndSilent)
{
    Write(L"broken.mid", std::string("MThd\0\0\0\x06garbage", 15));
    Write(L"empty.mid", "");
    struct Case { std::wstring name; std::size_t commands; };
    const Case cases[] = {
        {L"nothere.mid", 0},      // no short form, so no command at all
        {L"broken.mid", 1},       // only the open, which fails
        {L"empty.mid", 1},
        {L"velomass.lst\\x.mid", 0},
    };
    for (const Case& c : cases) {
        mci.sent.clear();
        settings.MIDI = Path(c.name);
        player.StartMusic(true);
        EXPECT_EQ(settings.MIDI, "") << Narrow(c.name);
        player.StartMusic(false);
        ASSERT_EQ(mci.sent.size(), c.commands) << Narrow(c.name) << Show(mci.sent);
        if (c.commands)
            EXPECT_NE(mci.sent[0].error, 0u) << Show(mci.sent);
    }
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
}

TEST_F(SoundWinTest, PlayListChoosesAndOpensTheRealFile)
{
    settings.MIDI = Path(L"VELOMASS.LST");
    player.StartMusic(true);
    std::string lowerDir = Narrow(m_dir) + "\\";
    LowerAscii(lowerDir);
    EXPECT_EQ(settings.MIDI, lowerDir + "loop1.mid") << Show(mci.sent);
    EXPECT_EQ(player.m_nListCount, 2);
    ASSERT_FALSE(mci.sent.empty());
    EXPECT_EQ(mci.sent[0].error, 0u) << Show(mci.sent);
    player.StartMusic(false);
    EXPECT_EQ(settings.MIDI, lowerDir + "velomass.lst");
}

TEST_F(SoundWinTest, BlanksAndJapaneseInPathsReachTheSequencer)
{
    MakeDir(m_dir + L"\\my music");
    Copy("samples/loop2.mid", L"my music\\loop 2.mid");
    Copy("samples/loop2.mid", L"\u66F2 \u30C6\u30B9\u30C8.mid");  // 曲 テスト.mid
    for (const std::wstring& name : {std::wstring(L"my music\\loop 2.mid"),
                                     std::wstring(L"\u66F2 \u30C6\u30B9\u30C8.mid")}) {
        mci.sent.clear();
        const std::string file = Path(name);
        EXPECT_EQ(player.OpenMidi(file), file);
        player.CloseMidi(file);
        ASSERT_EQ(mci.sent.size(), 2u) << Show(mci.sent);
        EXPECT_EQ(mci.sent[0].text, "open " + Form(file) + " type sequencer");
        EXPECT_EQ(mci.sent[0].error, 0u) << Show(mci.sent);
        EXPECT_EQ(mci.sent[1].error, 0u) << Show(mci.sent);
    }
    // A quoted long path works as a device name too.
    const std::string quoted = '"' + Path(L"my music\\loop 2.mid") + '"';
    EXPECT_EQ(devices.mci.SendCommand("open " + quoted + " type sequencer", nullptr, false), 0u);
    EXPECT_EQ(devices.mci.SendCommand("close " + quoted, nullptr, false), 0u);
}

TEST_F(SoundWinTest, ListEntriesAreReadInTheAnsiCodePage)
{
    // A name the system code page can spell: Japanese where it is 932.
    std::wstring name;
    std::string ansi;
    for (const wchar_t* candidate : {L"\u66F2.mid", L"caf\u00E9.mid"}) {
        BOOL lossy = FALSE;
        char bytes[64] = {};
        const int n = WideCharToMultiByte(CP_ACP, 0, candidate, -1, bytes, sizeof bytes,
                                          nullptr, &lossy);
        if (n > 1 && !lossy) {
            name = candidate;
            ansi.assign(bytes, n - 1);
            break;
        }
    }
    ASSERT_FALSE(name.empty()) << "code page " << GetACP() << " spells neither name";
    ASSERT_NE(ansi, Narrow(name)) << "the name needs a byte outside ASCII";
    Copy("samples/loop1.mid", name);
    Write(L"ansi.lst", "\r\n" + ansi + "  \r\n");
    settings.MIDI = Path(L"ansi.lst");
    player.StartMusic(true);
    std::string want = Narrow(m_dir) + "\\";
    LowerAscii(want);
    EXPECT_EQ(settings.MIDI, want + Narrow(name)) << "code page " << GetACP() << Show(mci.sent);
}

TEST_F(SoundWinTest, CompletionNoticesReachTheWindowAndOnlyANormalEndRestarts)
{
    std::string file = Path(L"loop1.mid");
    LowerAscii(file);
    const std::string form = Form(file);
    settings.MIDI = file;
    player.StartMusic(true);
    ASSERT_EQ(settings.MIDI, file) << Show(mci.sent);

    // A new notify command supersedes the play's; then, ending at once, it
    // reports a normal end. Only that one restarts the piece.
    ASSERT_EQ(devices.mci.SendCommand("status " + form + " mode notify", nullptr, true), 0u);
    std::vector<WPARAM> codes = PumpNotifications();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    mci.sent.clear();
    for (WPARAM code : codes)
        player.OnMciNotify(code);
    ASSERT_EQ(mci.sent.size(), 2u) << Show(mci.sent);
    EXPECT_EQ(mci.sent[0].text, "status " + form + " mode");
    EXPECT_EQ(mci.sent[1].text, "play " + form + " from 0 notify");
    EXPECT_EQ(mci.sent[1].error, 0u);

    // Closing aborts the outstanding play; that notice must not reopen it.
    player.StartMusic(false);
    codes = PumpNotifications();
    EXPECT_FALSE(codes.empty()) << "the close sent no notice";
    mci.sent.clear();
    for (WPARAM code : codes) {
        EXPECT_NE(code, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
        player.OnMciNotify(code);
    }
    EXPECT_TRUE(mci.sent.empty()) << Show(mci.sent);
}

TEST_F(SoundWinTest, WavesAndFilesFailSilently)
{
    for (const std::string& path : {Path(L"select.wav"), Path(L"nothere.wav"),
                                    Path(L"loop1.mid"), std::string("")}) {
        player.PlayWave(path);
    }
    devices.wave.PlayAsync(std::string("c:\\a.wav\0junk", 13));
    sndPlaySoundW(nullptr, 0);

    Win32SoundFileSystem& files = devices.files;
    std::string shortPath;
    EXPECT_TRUE(files.FileExists(Path(L"loop1.mid")));
    EXPECT_TRUE(files.FileExists(Path(L"*.mid")));  // a directory search matches patterns
    EXPECT_FALSE(files.FileExists(Path(L"nothere.mid")));
    EXPECT_FALSE(files.FileExists(""));
    EXPECT_FALSE(files.FileExists(Path(L"loop1.mid") + std::string("\0x", 2)));
    EXPECT_FALSE(files.GetShortPath(Path(L"nothere.mid"), shortPath));
    EXPECT_FALSE(files.GetShortPath(Path(L"*.mid"), shortPath));
    EXPECT_EQ(files.OpenForReading(Narrow(m_dir)), nullptr) << "a folder opened as a list";
    EXPECT_EQ(files.OpenForReading(Path(L"nothere.lst")), nullptr);

    // A list held open for writing by someone else still reads.
    HANDLE held = CreateFileW((m_dir + L"\\velomass.lst").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    settings.MIDI = Path(L"velomass.lst");
    player.StartMusic(true);
    EXPECT_NE(settings.MIDI, "");
    player.StartMusic(false);
    CloseHandle(held);

    // One locked without sharing is silence.
    HANDLE locked = CreateFileW((m_dir + L"\\velomass.lst").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    mci.sent.clear();
    player.StartMusic(true);
    EXPECT_EQ(settings.MIDI, "");
    EXPECT_TRUE(mci.sent.empty()) << Show(mci.sent);
    CloseHandle(locked);
    EXPECT_EQ(VisibleWindowsOfThisProcess(), 0);
}

} // namespace
