#include "saver/SaverRules.h"
#include "settings/SettingsStore.h"

#include "host/SettingsFakes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

const std::string kSystem = "Software\\Tamsk soft\\VelomaSS\\System";
const std::string kDesktop = "Control Panel\\desktop";

TEST(SaverRulesTest, CellSizeBound)
{
    const struct {
        int stored, want;
    } cases[] = {
        {16, 32}, {31, 32}, {32, 32}, {33, 33}, {64, 64}, {127, 127}, {128, 128},
        {129, 128}, {200, 128}, {0, 32}, {-5, 32}, {INT_MIN, 32}, {INT_MAX, 128},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoundCellSize(c.stored), c.want) << "CellSize " << c.stored;
}

TEST(SaverRulesTest, LowPowerLimit)
{
    const struct {
        int blackOut;
        long lowPower;
        int want;
    } cases[] = {
        {0, 15, 15}, {20, 15, 15}, {10, 15, 10}, {15, 15, 15},
        {0, 0, 0}, {20, 0, 20},
        {-3, 0, 0},    // a negative time is none
        {-3, 15, 15},  // and then the display's limit applies
        {INT_MAX, 35791394, 35791394},
        {0, 99999999999L, INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullScreenBlackOutTime(c.blackOut, c.lowPower), c.want)
            << "BlackOutTime " << c.blackOut << ", low power " << c.lowPower << " min";
}

// From the registry as a full-screen run reads it to the values it plays with.
TEST(SaverRulesTest, FullScreenRunFromTheRegistry)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> desktop;  // text values
        std::vector<std::pair<std::string, std::string>> system;
        int blackOut;
        int cellSize;
        std::string password;
    };
    const Case cases[] = {
        {"900 s, BlackOutTime 0", {{"ScreenSaveLowPowerActive", "1"}, {"ScreenSaveLowPowerTimeOut", "900"}},
         {}, 15, 32, ""},
        {"900 s, BlackOutTime 20", {{"ScreenSaveLowPowerActive", "1"}, {"ScreenSaveLowPowerTimeOut", "900"}},
         {{"BlackOutTime", "20"}}, 15, 32, ""},
        {"900 s, BlackOutTime 10", {{"ScreenSaveLowPowerActive", "1"}, {"ScreenSaveLowPowerTimeOut", "900"}},
         {{"BlackOutTime", "10"}}, 10, 32, ""},
        {"59 s is no limit", {{"ScreenSaveLowPowerActive", "1"}, {"ScreenSaveLowPowerTimeOut", "59"}},
         {{"BlackOutTime", "20"}}, 20, 32, ""},
        {"low power off", {{"ScreenSaveLowPowerActive", "0"}, {"ScreenSaveLowPowerTimeOut", "900"}},
         {{"BlackOutTime", "20"}}, 20, 32, ""},
        {"CellSize 16", {}, {{"CellSize", "16"}}, 0, 32, ""},
        {"CellSize 200", {}, {{"CellSize", "200"}}, 0, 128, ""},
        {"CellSize 96", {}, {{"CellSize", "96"}}, 0, 96, ""},
        {"password in force", {{"ScreenSaveUsePassword", "1"}}, {{"PassWord", "Secret 秘密"}}, 0, 32,
         "Secret 秘密"},
        {"password off", {{"ScreenSaveUsePassword", "0"}}, {{"PassWord", "Secret"}}, 0, 32, ""},
        {"password flag absent", {}, {{"PassWord", "Secret"}}, 0, 32, ""},
        {"in force, none stored", {{"ScreenSaveUsePassword", "1"}}, {}, 0, 32, ""},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.keys[kDesktop];
        for (const auto& v : c.desktop)
            registry.SetText(kDesktop, v.first, v.second);
        for (const auto& v : c.system)
            registry.SetText(kSystem, v.first, v.second);
        FakeFiles files;
        SaverSettings settings;
        ReadSettings(settings, registry, files);
        ApplyFullScreenRules(settings, ReadDesktopValues(registry));

        EXPECT_EQ(settings.BlackOutTime, c.blackOut) << c.what;
        EXPECT_EQ(settings.CellSize, c.cellSize) << c.what;
        EXPECT_EQ(settings.PassWord, c.password) << c.what;
        EXPECT_TRUE(registry.Writes().empty()) << c.what << ": the run wrote " << registry.Writes().front();
    }
}

TEST(SaverRulesTest, PasswordComparisonIsExact)
{
    const struct {
        const char* entered;
        const char* stored;
        bool equal;
    } cases[] = {
        {"secret", "secret", true},
        {"", "", true},
        {"Secret", "secret", false},
        {"SECRET", "secret", false},
        {"secret ", "secret", false},
        {" secret", "secret", false},
        {"secret", "secre", false},
        {"ﾊﾟｽﾜｰﾄﾞ", "ﾊﾟｽﾜｰﾄﾞ", true},
        {"ﾊﾟｽﾜｰﾄﾞ", "パスワード", false},
        {"ａｂｃ", "abc", false},
        {"", "x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PasswordMatches(c.entered, c.stored), c.equal)
            << "'" << c.entered << "' against '" << c.stored << "'";
}

TEST(SaverRulesTest, FirstMouseMove)
{
    FirstMouse first;
    const struct {
        int x, y;
        bool close;
    } moves[] = {
        {500, 300, false},  // recorded only, wherever it is
        {500, 300, false},  // the same place again
        {501, 300, true},
        {500, 299, true},
        {500, 300, false},  // the recorded place is not moved by later moves
        {0, 0, true},
    };
    for (const auto& m : moves)
        EXPECT_EQ(first.OnMove(m.x, m.y), m.close) << "move to " << m.x << "," << m.y;

    first.Forget();
    EXPECT_FALSE(first.OnMove(10, 10)) << "after Forget the next move is only recorded";
    EXPECT_TRUE(first.OnMove(11, 10));

    // (-1, -1) is a real position to the left of and above the primary screen.
    FirstMouse corner;
    EXPECT_FALSE(corner.OnMove(-1, -1));
    EXPECT_TRUE(corner.OnMove(-2, -1)) << "a first move at (-1, -1) was not recorded";
}

class RecordingHost : public CloseRequestHost {
public:
    bool blackedOut = false;
    bool answerOk = true;
    std::string answer;
    std::vector<std::string> calls;

    bool IsBlackedOut() override { return blackedOut; }
    void WakeFromBlackOut() override
    {
        calls.push_back("wake");
        blackedOut = false;
    }
    bool AskPassword(std::string& entered) override
    {
        calls.push_back(blackedOut ? "ask while black" : "ask");
        entered = answer;
        return answerOk;
    }
    void RestartBlackOutTimer() override { calls.push_back("timer"); }
};

std::string Join(const std::vector<std::string>& v)
{
    std::string s;
    for (const auto& e : v)
        s += (s.empty() ? "" : ", ") + e;
    return s;
}

TEST(SaverRulesTest, ConfirmClose)
{
    struct Case {
        const char* what;
        std::string password;
        int blackOut;
        bool blackedOut;
        bool ok;
        std::string answer;
        bool closes;
        std::string calls;
    };
    const Case cases[] = {
        {"no password", "", 5, true, true, "", true, ""},
        {"right", "abc", 5, false, true, "abc", true, "ask"},
        {"wrong case", "abc", 5, false, true, "ABC", false, "ask, timer"},
        {"cancelled with the right text", "abc", 5, false, false, "abc", false, "ask, timer"},
        {"wrong, no black-out time", "abc", 0, false, true, "x", false, "ask"},
        {"blacked out, right", "abc", 5, true, true, "abc", true, "wake, ask"},
        {"blacked out, wrong", "abc", 1, true, true, "", false, "wake, ask, timer"},
        {"negative black-out time", "abc", -1, false, false, "", false, "ask"},
    };
    for (const Case& c : cases) {
        SaverSettings settings;
        settings.PassWord = c.password;
        settings.BlackOutTime = c.blackOut;
        RecordingHost host;
        host.blackedOut = c.blackedOut;
        host.answerOk = c.ok;
        host.answer = c.answer;
        FirstMouse first;
        first.OnMove(7, 7);

        EXPECT_EQ(ConfirmCloseRequest(settings, first, host), c.closes) << c.what;
        EXPECT_EQ(Join(host.calls), c.calls) << c.what;
        EXPECT_EQ(first.Seen(), c.closes) << c.what << ": a refusal must forget the mouse, a close need not";
    }
}

TEST(SaverRulesTest, PasswordChangeDecisions)
{
    using A = PasswordChangeAction;
    const struct {
        bool focusOnOk;
        const char* newPassword;
        const char* confirmation;
        A want;
    } cases[] = {
        {false, "abc", "abc", A::NextControl},  // Enter in a text box never stores
        {false, "", "", A::NextControl},
        {true, "abc", "", A::FocusConfirmation},
        {true, "", "", A::Store},  // removes the password
        {true, "abc", "abc", A::Store},
        {true, "秘密", "秘密", A::Store},
        {true, "", "abc", A::Mismatch},
        {true, "abc", "ABC", A::Mismatch},
        {true, "abc", "abc ", A::Mismatch},
        {true, "abc", "abd", A::Mismatch},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(DecidePasswordChange(c.focusOnOk, c.newPassword, c.confirmation)),
                  static_cast<int>(c.want))
            << "focus on OK " << c.focusOnOk << ", '" << c.newPassword << "' / '" << c.confirmation << "'";
}

TEST(SaverRulesTest, SwallowedSystemCommands)
{
    const struct {
        unsigned command;
        bool swallowed;
    } cases[] = {
        {0xF140, true},   // SC_SCREENSAVE
        {0xF060, true},   // SC_CLOSE
        {0xF063, true},   // the system's own low bits
        {0xF14F, true},
        {0xF020, false},  // SC_MINIMIZE
        {0xF100, false},  // SC_KEYMENU
        {0xF170, false},  // SC_MONITORPOWER
        {0xF160, false},
        {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSwallowedSysCommand(c.command), c.swallowed) << std::hex << "command 0x" << c.command;
}

}  // namespace
