#include "saver/SaverRules.h"
#include "settings/SettingsStore.h"

#include "host/SettingsFakes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// From the registry as a full-screen run reads it; null values are not stored.
TEST(SaverRulesTest, FullScreenRunFromTheRegistry)
{
    const struct {
        const char *what, *lowPowerActive, *lowPowerTimeOut, *usePassword, *blackOut, *cellSize;
        int wantBlackOut, wantCellSize; bool keepsPassword;
    } cases[] = {
        {"900 s, BlackOutTime 0", "1", "900", nullptr, nullptr, nullptr, 15, 32, false},
        {"900 s, BlackOutTime 20", "1", "900", nullptr, "20", nullptr, 15, 32, false},
        {"900 s, BlackOutTime 10", "1", "900", nullptr, "10", nullptr, 10, 32, false},
        {"low power off", "0", "900", nullptr, "20", nullptr, 20, 32, false},
        {"CellSize 16, password in force", nullptr, nullptr, "1", nullptr, "16", 0, 32, true},
        {"CellSize 200, password off", nullptr, nullptr, "0", nullptr, "200", 0, 128, false},
        {"huge values", "1", "9999999999999", nullptr, "99999999999", "99999999999", 35791394, 128, false},
        {"negative values", "1", "-900", nullptr, "-3", "-99999999999", 0, 32, false},
        {"negative BlackOutTime, 900 s", "1", "900", nullptr, "-3", "127", 15, 127, false},
    };
    const std::string desktop = "Control Panel\\desktop", system = "Software\\Tamsk soft\\VelomaSS\\System";
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.keys[desktop];
        const auto set = [&](const std::string& path, const char* name, const char* text) {
            if (text)
                registry.SetText(path, name, text);
        };
        set(desktop, "ScreenSaveLowPowerActive", c.lowPowerActive);
        set(desktop, "ScreenSaveLowPowerTimeOut", c.lowPowerTimeOut);
        set(desktop, "ScreenSaveUsePassword", c.usePassword);
        set(system, "BlackOutTime", c.blackOut);
        set(system, "CellSize", c.cellSize);
        set(system, "PassWord", "Secret 秘密");
        FakeFiles files;
        Settings settings;
        ReadSettings(settings, registry, files);
        ApplyFullScreenRules(settings, ReadDesktopValues(registry));

        EXPECT_EQ(settings.BlackOutTime, c.wantBlackOut) << c.what;
        EXPECT_EQ(settings.CellSize, c.wantCellSize) << c.what;
        EXPECT_EQ(settings.PassWord, c.keepsPassword ? "Secret 秘密" : "") << c.what;
        EXPECT_TRUE(registry.writes.empty()) << c.what << ": the run wrote " << registry.writes.front();
    }
}

TEST(SaverRulesTest, FirstMouseMove)
{
    FirstMouse first;
    const struct { int x, y; bool close; } moves[] = {
        {500, 300, false},  // recorded only, wherever it is
        {500, 300, false}, {501, 300, true}, {500, 299, true},
        {500, 300, false},  // later moves do not move the recorded place
    };
    for (const auto& m : moves)
        EXPECT_EQ(first.OnMove(m.x, m.y), m.close) << "move to " << m.x << "," << m.y;

    // (-1, -1) is a real position on a monitor left of and above the primary one.
    FirstMouse corner;
    EXPECT_FALSE(corner.OnMove(-1, -1));
    EXPECT_TRUE(corner.OnMove(-2, -1)) << "a first move at (-1, -1) was not recorded";
}

class RecordingHost : public CloseRequestHost {
public:
    RecordingHost(bool blackedOut, bool answerOk, std::string answer)
        : blackedOut(blackedOut), answerOk(answerOk), answer(std::move(answer)) {}
    bool blackedOut, answerOk;
    std::string answer, calls;

    bool IsBlackedOut() override { return blackedOut; }
    void WakeFromBlackOut() override { calls += "wake "; blackedOut = false; }
    bool AskPassword(std::string& entered) override
    {
        calls += blackedOut ? "ask-while-black " : "ask ";
        entered = answer;
        return answerOk;
    }
    void RestartBlackOutTimer() override { calls += "timer "; }
};

TEST(SaverRulesTest, ConfirmClose)
{
    const struct {
        const char *what, *password;
        int blackOut;
        bool blackedOut, ok;
        const char* answer;
        bool closes;
        const char* calls;
    } cases[] = {
        {"no password", "", 5, true, true, "", true, ""},
        {"right", "abc", 5, false, true, "abc", true, "ask "},
        {"wrong case", "abc", 5, false, true, "ABC", false, "ask timer "},
        {"a prefix", "abc", 5, false, true, "ab", false, "ask timer "},
        {"empty", "abc", 5, false, true, "", false, "ask timer "},
        {"half-width against full-width", "ﾊﾟｽ", 5, false, true, "パス", false, "ask timer "},
        {"cancelled with the right text", "abc", 5, false, false, "abc", false, "ask timer "},
        {"wrong, no black-out time", "abc", 0, false, true, "x", false, "ask "},
        {"blacked out, right", "abc", 5, true, true, "abc", true, "wake ask "},
        {"blacked out, wrong", "abc", 1, true, true, "", false, "wake ask timer "},
        {"negative black-out time", "abc", -1, false, false, "", false, "ask "},
    };
    for (const auto& c : cases) {
        RecordingHost host(c.blackedOut, c.ok, c.answer);
        FirstMouse first;
        first.OnMove(7, 7);

        EXPECT_EQ(ConfirmCloseRequest(c.password, c.blackOut, first, host), c.closes) << c.what;
        EXPECT_EQ(host.calls, c.calls) << c.what;
        EXPECT_EQ(first.Seen(), c.closes) << c.what << ": a refusal must forget the mouse, a close need not";
    }
}

TEST(SaverRulesTest, PasswordChangeDecisionsAndSwallowedCommands)
{
    using A = PasswordChangeAction;
    const struct { bool focusOnOk; const char *newPassword, *confirmation; A want; } cases[] = {
        {false, "abc", "abc", A::NextControl},  // Enter in a text box never stores
        {true, "abc", "", A::FocusConfirmation}, {true, "", "", A::Store},  // both empty removes it
        {true, "秘密", "秘密", A::Store},        {true, "", "abc", A::Mismatch},
        {true, "abc", "ABC", A::Mismatch},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(DecidePasswordChange(c.focusOnOk, c.newPassword, c.confirmation)),
                  static_cast<int>(c.want))
            << "focus on OK " << c.focusOnOk << ", '" << c.newPassword << "' / '" << c.confirmation << "'";

    // SC_SCREENSAVE and SC_CLOSE with or without the system's low bits; not
    // SC_MINIMIZE or SC_MONITORPOWER.
    const struct { unsigned command; bool swallowed; } commands[] = {
        {0xF140, true}, {0xF063, true}, {0xF14F, true}, {0xF020, false}, {0xF170, false}};
    for (const auto& c : commands)
        EXPECT_EQ(IsSwallowedSysCommand(c.command), c.swallowed) << std::hex << "command 0x" << c.command;
}

TEST(SaverRulesTest, BlackOutIntervalNeverOverflows)
{
    const struct { int minutes; std::uint32_t perMinute, want; } cases[] = {
        {0, 60000, 0}, {-5, 60000, 0}, {15, 60000, 900000},
        {35791, 60000, 2147460000u},        // the last whole minute below the limit
        {35792, 60000, kMaxTimerInterval},  // 2147520000 would pass it
        {71583, 60000, kMaxTimerInterval},  // wraps to 12704 in 32 bits
        {3, 100, 300},  // a shortened minute for tests
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlackOutInterval(c.minutes, c.perMinute), c.want) << c.minutes << " minutes of " << c.perMinute;
}

}  // namespace
