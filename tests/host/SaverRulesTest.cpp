#include "saver/Monitors.h"
#include "saver/SaverRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One board per monitor, the primary's first and the only primary, the
// rest left to right; nothing for empty or mirrored monitors; the screen
// when the system reports no monitor.
TEST(SaverRulesTest, BoardAreasFromMonitors)
{
    const ScreenArea screen{0, 0, 1024, 768, false}, primary{0, 0, 1024, 768, true},
        right{1024, 0, 1824, 600, false}, leftAbove{-800, -100, 0, 500, false};
    const struct { const char* what; std::vector<ScreenArea> monitors, want; } cases[] = {
        {"one monitor", {primary}, {primary}},
        {"primary listed last", {right, primary}, {primary, right}},
        {"left of and above the primary", {primary, right, leftAbove}, {primary, leftAbove, right}},
        {"primary away from the origin", {{800, 100, 1824, 868, true}, {0, 0, 800, 600, false}},
         {{800, 100, 1824, 868, true}, {0, 0, 800, 600, false}}},
        {"mirrored monitors", {primary, right, {0, 0, 1024, 768, false}, right}, {primary, right}},
        {"empty and upside-down areas",
         {{5, 5, 5, 9, false}, {9, 9, 0, 0, true}, {0, 9, 9, 9, false}, {0, 9, 9, 5, false}, primary}, {primary}},
        {"no primary flagged: the one at the origin", {right, screen}, {primary, right}},
        {"no primary flagged, none at the origin", {right, leftAbove},
         {{1024, 0, 1824, 600, true}, leftAbove}},
        {"two flagged", {right, {1024, 0, 1824, 600, true}, primary}, {{1024, 0, 1824, 600, true}, screen}},
        {"none reported", {}, {{-1, -2, 3, 4, true}}},
    };
    for (const auto& c : cases) {
        const std::vector<ScreenArea> got = BoardAreas(c.monitors, {-1, -2, 3, 4, false});
        EXPECT_TRUE(SameAreas(got, c.want)) << c.what;
        // Any area moved, the last one too, or another primary is a new layout.
        std::vector<ScreenArea> moved = got, other = got;
        moved.back().bottom += 1;
        other.back().primary = !other.back().primary;
        EXPECT_FALSE(SameAreas(got, moved) || SameAreas(got, other)) << c.what;
    }
}

// How long a move that would end the run waits for the monitors: a hand's
// move briefly; one near a change of the monitors, a jump or a landing on an
// edge until settled; one while the monitors differ from the boards' never
// ends it. The ticks may wrap.
TEST(SaverRulesTest, WhetherAMoveEndsTheRun)
{
    const std::vector<ScreenArea> side{{0, 0, 1024, 768, true}, {1024, 0, 1824, 600, false}};
    const std::vector<ScreenArea> above{{0, 0, 1024, 768, true}, {-800, -100, 0, 500, false}};
    const ScreenPoint centre{512, 384};
    const auto none = std::nullopt;
    using V = MoveVerdict;
    // facts: now, last layout, last display notice, monitors changed, from, to, areas
    const struct { const char* what; MoveFacts facts; V want; } cases[] = {
        {"a few pixels, nothing changed", {5000, none, none, false, centre, {515, 386}, side}, V::Check},
        {"a few pixels, long after a layout", {5000, 4000, 3000, false, centre, {500, 390}, side}, V::Check},
        {"64 pixels at once", {5000, none, none, false, centre, {576, 320}, side}, V::Check},
        {"65 pixels at once: a jump", {5000, none, none, false, centre, {577, 384}, side}, V::Settle},
        {"to the primary's last column", {5000, none, none, false, centre, {1023, 384}, {side[0]}}, V::Settle},
        {"just beyond the primary's right", {5000, none, none, false, centre, {1024, 384}, {side[0]}}, V::Settle},
        {"to the left monitor's last column", {5000, none, none, false, centre, {-1, 384}, above}, V::Settle},
        {"to the primary's first row", {5000, none, none, false, centre, {512, 0}, above}, V::Settle},
        {"beside every monitor", {5000, none, none, false, centre, {-500, 700}, above}, V::Settle},
        {"within the quiet time of a layout", {5999, 5000, none, false, centre, {515, 386}, side}, V::Settle},
        {"within the quiet time of a notice", {5999, none, 5000, false, centre, {515, 386}, side}, V::Settle},
        {"a notice before the ticks wrapped", {500, none, 0xFFFFFF00u, false, centre, {515, 386}, side}, V::Settle},
        {"a notice long before the wrap", {800, none, 0xFFFFFF00u, false, centre, {515, 386}, side}, V::Check},
        {"the monitors changed: moved with them", {5000, none, none, true, centre, {-1, 384}, above}, V::Layout},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(JudgeMove(c.facts)), static_cast<int>(c.want)) << c.what;

    // Once settled, a move counts unless a layout or notice came within the quiet time.
    EXPECT_TRUE(SettledMoveIsTheUsers(5000, 4000, 4000));
    EXPECT_FALSE(SettledMoveIsTheUsers(5000, 4001, none));
    EXPECT_FALSE(SettledMoveIsTheUsers(100, none, 0xFFFFFFF0u));
}

// The black-out comes no later than the display's low power; the password
// counts only when the desktop asks for one; cells stay within 32..128.
TEST(SaverRulesTest, FullScreenRules)
{
    const struct { const char* what; bool password; long lowPower; int blackOut, cell, outWant, cellWant; } cases[] = {
        {"15 min, BlackOutTime 0", false, 15, 0, 32, 15, 32},  {"15 min, BlackOutTime 20", false, 15, 20, 32, 15, 32},
        {"15 min, BlackOutTime 10", false, 15, 10, 32, 10, 32}, {"no low power", false, 0, 20, 32, 20, 32},
        {"password in force, CellSize 16", true, 0, 0, 16, 0, 32}, {"CellSize 200", false, 0, 0, 200, 0, 128},
        {"huge values", false, 35791394, 2147483647, 2147483647, 35791394, 128},
        {"negative values", false, 0, -3, -2147483647, 0, 32}, {"negative BlackOutTime", false, 15, -3, 127, 15, 127},
    };
    for (const auto& c : cases) {
        Settings s;
        s.PassWord = "Secret 秘密", s.BlackOutTime = c.blackOut, s.CellSize = c.cell;
        ApplyFullScreenRules(s, DesktopSaverValues{c.password, c.lowPower});
        EXPECT_EQ(s.BlackOutTime, c.outWant) << c.what;
        EXPECT_EQ(s.CellSize, c.cellWant) << c.what;
        EXPECT_EQ(s.PassWord, c.password ? "Secret 秘密" : "") << c.what;
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

// At once without a password; otherwise the black-out ends before the
// question, and only the exact password closes. Anything else stays, forgets
// the mouse and counts the black-out down again when there is one.
TEST(SaverRulesTest, CloseRequest)
{
    using S = CloseStart;
    const struct { const char* password; bool blackedOut; S want; } starts[] = {
        {"", false, S::Close}, {"", true, S::Close}, {"abc", false, S::Ask}, {"abc", true, S::WakeAndAsk}};
    for (const auto& c : starts)
        EXPECT_EQ(static_cast<int>(StartCloseRequest(c.password, c.blackedOut)), static_cast<int>(c.want))
            << "'" << c.password << "', blacked out " << c.blackedOut;

    using Entry = std::optional<std::string>;
    const struct { const char *what, *password; Entry entered; int blackOut; const char* want; } answers[] = {
        {"right", "abc", "abc", 5, "close"},
        {"wrong case", "abc", "ABC", 5, "stay forget restart"}, {"a prefix", "abc", "ab", 5, "stay forget restart"},
        {"empty", "abc", "", 5, "stay forget restart"}, {"longer", "abc", "abcd", 5, "stay forget restart"},
        {"cancelled", "abc", std::nullopt, 5, "stay forget restart"},
        {"wrong, no black-out time", "abc", "x", 0, "stay forget"},
    };
    for (const auto& c : answers) {
        const CloseAnswer a = AnswerCloseRequest(c.entered, c.password, c.blackOut);
        const std::string got = std::string(a.close ? "close" : "stay") + (a.forgetMouse ? " forget" : "");
        EXPECT_EQ(got + (a.restartBlackOut ? " restart" : ""), c.want) << c.what;
    }
}

TEST(SaverRulesTest, SwallowedCommandsAndBlackOutInterval)
{
    // SC_SCREENSAVE and SC_CLOSE with or without the system's low bits; not
    // SC_MINIMIZE or SC_MONITORPOWER.
    for (unsigned command : {0xF140u, 0xF063u, 0xF14Fu})
        EXPECT_TRUE(IsSwallowedSysCommand(command)) << std::hex << command;
    for (unsigned command : {0xF020u, 0xF170u})
        EXPECT_FALSE(IsSwallowedSysCommand(command)) << std::hex << command;

    // 35791 minutes: the last whole minute below the timer's limit; 35792
    // would pass it, 71583 wraps to 12704 ms in 32 bits; 100 ms: a test's minute.
    const struct { int minutes; std::uint32_t perMinute, want; } intervals[] = {
        {0, 60000, 0}, {-5, 60000, 0}, {15, 60000, 900000}, {35791, 60000, 2147460000u},
        {35792, 60000, kMaxTimerInterval}, {71583, 60000, kMaxTimerInterval}, {3, 100, 300},
    };
    for (const auto& c : intervals)
        EXPECT_EQ(BlackOutInterval(c.minutes, c.perMinute), c.want) << c.minutes << " minutes of " << c.perMinute;
}

}  // namespace
