// The timer cycle: frames, cues, phases, removal, black-out.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

// A board whose group of 2s (kind 2: selection row 3, disappearing row 4)
// is marked; after its removal the 1s close up into a group of three.
void SetUpPlay(Table& t)
{
    t.game.AnimIntrvl = 50;
    t.game.Select = "s.wav";
    t.game.Disappear = "d.wav";
    t.game.MIDI = "m.mid";
    SetRows(t.game, {"1.1", "221"});
    ASSERT_EQ(t.game.SelectGroup(0, 1), 2);
    t.game.m_nSelX = 0;
    t.game.m_nSelY = 1;
    t.game.m_nFrame = 0;
}

// Stay in the selection phase once, then change: two selection cycles.
std::vector<int> TwoSelectionCycles() { return {Draw(2, 5), Draw(1, 5), 0}; }

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<std::string> Frames(int row, std::initializer_list<int> columns)
{
    std::vector<std::string> out;
    for (int c : columns)
        out.push_back("frame " + std::to_string(row) + " " + std::to_string(c));
    return out;
}

TEST(BoardCycle, ShowsEveryFrameColumnOfEachCycle)
{
    struct Case {
        const char* name; int frames; int stillColumn; int sound;
        std::vector<std::string> frameLog; std::vector<std::string> waves;
    };
    const std::vector<std::string> cues = {"wave s.wav", "wave s.wav", "wave d.wav"};
    const Case cases[] = {
        {"4 columns", 4, 0, 1,
         Join({Frames(3, {0, 1, 2, 3, 0, 1, 2, 3}), Frames(4, {0, 1, 2, 3})}), cues},
        {"4 columns, column 0 still", 4, 1, 1,
         Join({Frames(3, {1, 2, 3, 1, 2, 3}), Frames(4, {1, 2, 3})}), cues},
        {"2 columns, column 0 still", 2, 1, 1,
         Join({Frames(3, {1, 1}), Frames(4, {1})}), cues},
        {"1 column", 1, 0, 1, Join({Frames(3, {0, 0}), Frames(4, {0})}), cues},
        {"1 column, column 0 still: shows column 0", 1, 1, 1,
         Join({Frames(3, {0, 0}), Frames(4, {0})}), cues},
        {"sound off", 3, 0, 0, Join({Frames(3, {0, 1, 2, 0, 1, 2}), Frames(4, {0, 1, 2})}), {}},
    };
    for (const Case& c : cases) {
        ScriptedRandom random(TwoSelectionCycles());
        Table t(random, c.frames);
        SetUpPlay(t);
        t.game.AnimBMPOption = c.stillColumn;
        t.game.Sound = c.sound;
        const int ticks = static_cast<int>(c.frameLog.size());
        for (int i = 0; i < ticks; ++i)
            t.game.OnTimer(1);
        EXPECT_EQ(t.effects.Only("frame"), c.frameLog) << c.name;
        EXPECT_EQ(t.effects.Only("wave"), c.waves) << c.name;
        // The cue comes first in a cycle, before its frame is drawn.
        if (c.sound)
            EXPECT_EQ(t.effects.log.front(), "wave s.wav") << c.name;
        EXPECT_EQ(t.effects.Only("stop").size(), 1u) << c.name << ": removed exactly at the last tick";
        EXPECT_EQ(t.game.m_nFrame, 0) << c.name;
    }
}

TEST(BoardCycle, EachTickRedrawsTheMarkedCellsFromTheAnimationSlot)
{
    ScriptedRandom random(TwoSelectionCycles());
    Table t(random, 4);
    SetUpPlay(t);
    t.game.OnTimer(1);
    t.game.OnTimer(1);
    const std::vector<std::string> want = {
        "frame 3 0", "anim 0 1", "anim 1 1",
        "frame 3 1", "anim 0 1", "anim 1 1"};
    EXPECT_EQ(t.effects.log, want);
}

TEST(BoardCycle, RemovalStopsTheTimerRedrawsAndPicksTheNextGroup)
{
    ScriptedRandom random(TwoSelectionCycles());
    Table t(random, 1);
    SetUpPlay(t);
    t.game.OnTimer(1);
    t.game.OnTimer(1);
    t.effects.Clear();
    t.game.OnTimer(1);  // the one disappearing tick
    const std::vector<std::string> want = {
        "frame 4 0", "anim 0 1", "anim 1 1",
        "stop 1",
        "cell 0 0 0", "cell 0 1 1", "cell 1 0 1", "cell 1 1 1", "cell 2 0 0", "cell 2 1 0",
        "timer 1 50"};
    EXPECT_EQ(t.effects.log, want);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"0a0", "aa0"}));
    EXPECT_EQ(t.game.m_nSelX, 0);
    EXPECT_EQ(t.game.m_nSelY, 1);
    EXPECT_FALSE(t.game.m_bDisappearing);
}

TEST(BoardCycle, NoPairLeftStartsANewBoardThatBeginsAtItsFirstFrame)
{
    ScriptedRandom random({Draw(0, 5), 0});
    Table t(random, 4);
    t.game.AnimBMPOption = 1;
    t.game.Sound = 1;
    t.game.CellArr = 4;  // one row: a single kind, always a pair
    t.game.AnimIntrvl = 20;
    t.game.Select = "s.wav";
    SetRows(t.game, {"33"});
    t.game.SelectGroup(0, 0);
    t.game.m_nSelX = 0;
    t.game.m_nSelY = 0;
    for (int i = 0; i < 6; ++i)
        t.game.OnTimer(1);
    const std::vector<std::string> tail = {
        "stop 1", "cell 0 0 0", "cell 1 0 0",  // the removal
        "stop 1", "cell 0 0 1", "cell 1 0 1",  // the new board
        "timer 1 20"};
    ASSERT_GE(t.effects.log.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(t.effects.log.end() - tail.size(), t.effects.log.end()), tail);
    EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"aa"}));

    t.effects.Clear();
    t.game.OnTimer(1);
    EXPECT_EQ(t.effects.log, (std::vector<std::string>{"wave s.wav", "frame 1 1", "anim 0 0", "anim 1 0"}));
}

TEST(BoardCycle, SoundIsReadAtTheStartOfEachCycle)
{
    ScriptedRandom random(TwoSelectionCycles());
    Table t(random, 2);
    SetUpPlay(t);
    t.game.OnTimer(1);
    t.game.Sound = 1;  // switched on in the middle of the first cycle
    t.game.OnTimer(1);
    EXPECT_TRUE(t.effects.Only("wave").empty());
    t.game.OnTimer(1);
    EXPECT_EQ(t.effects.Only("wave"), (std::vector<std::string>{"wave s.wav"}));
}

TEST(BoardCycle, BlackOutStopsEverythingAtOnce)
{
    struct Case { int bgm; std::vector<std::string> want; };
    const Case cases[] = {
        {1, {"stop 1", "stop 2", "close m.mid", "black"}},
        {0, {"stop 1", "stop 2", "black"}},
    };
    for (const Case& c : cases) {
        ScriptedRandom random(TwoSelectionCycles());
        Table t(random, 4);
        SetUpPlay(t);
        t.game.BGM = c.bgm;
        t.game.OnTimer(1);
        t.game.OnTimer(1);
        t.effects.Clear();
        t.game.OnTimer(2);
        EXPECT_EQ(t.effects.log, c.want) << "BGM " << c.bgm;
        EXPECT_TRUE(t.game.m_bBlackedOut);
        EXPECT_EQ(Rows(t.game), (std::vector<std::string>{"101", "bb1"})) << "the group stays marked";

        // A tick still queued when the timer stopped changes nothing.
        t.effects.Clear();
        t.game.OnTimer(1);
        t.game.OnTimer(1);
        EXPECT_TRUE(t.effects.log.empty()) << "first: " << t.effects.log.front();

        t.game.NewBoard();
        EXPECT_FALSE(t.game.m_bBlackedOut);
        EXPECT_EQ(t.effects.log.back(), "timer 1 50");
    }
}

TEST(BoardCycle, OtherTimersAndADroppedImageDoNothing)
{
    ScriptedRandom random(TwoSelectionCycles());
    Table t(random, 4);
    SetUpPlay(t);
    for (unsigned id : {0u, 3u, 99u})
        t.game.OnTimer(id);
    EXPECT_TRUE(t.effects.log.empty()) << "first: " << t.effects.log.front();

    t.game.ClearImage();
    EXPECT_EQ(t.effects.log, (std::vector<std::string>{"stop 1"}));
    EXPECT_EQ(t.game.m_nSelX, -1);
    t.game.OnTimer(1);
    t.game.NewBoard();
    EXPECT_EQ(t.effects.log.size(), 1u);
}

} // namespace
