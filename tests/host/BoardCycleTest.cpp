// The timer cycle: frames, cues, phases, removal, black-out.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

using namespace boardtest;

namespace {

// The group of 2s (selection row 3, disappearing row 4) is marked; after
// its removal the 1s close up into a group of three. The scripted draws
// keep the selection phase once, then change: two selection cycles.
struct Scripted {
    ScriptedRandom random{{Draw(2, 5), Draw(1, 5), 0}};
};
struct Play : Scripted, Table {
    explicit Play(int frames) : Table(random, frames)
    {
        game.Select = "s.wav";
        game.Disappear = "d.wav";
        game.MIDI = "m.mid";
        SetRows(game, {"1.1", "221"});
        game.SelectGroup(0, 1);
        game.m_nSelX = 0;
        game.m_nSelY = 1;
    }
    void Ticks(int n)
    {
        while (n-- > 0)
            game.OnTimer(1);
    }
};

std::vector<std::string> Frames(int row, std::initializer_list<int> columns)
{
    std::vector<std::string> out;
    for (int c : columns)
        out.push_back("frame " + std::to_string(row) + " " + std::to_string(c));
    return out;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(BoardCycle, ShowsEveryFrameColumnOfEachCycleAndItsCue)
{
    const std::vector<std::string> cues = {"wave s.wav", "wave s.wav", "wave d.wav"};
    const struct {
        const char* name; int frames, still, sound; std::vector<std::string> frameLog, waves;
    } cases[] = {
        {"4 columns", 4, 0, 1, Frames(3, {0, 1, 2, 3, 0, 1, 2, 3}) + Frames(4, {0, 1, 2, 3}), cues},
        {"4 columns, column 0 still", 4, 1, 1, Frames(3, {1, 2, 3, 1, 2, 3}) + Frames(4, {1, 2, 3}), cues},
        {"2 columns, column 0 still", 2, 1, 1, Frames(3, {1, 1}) + Frames(4, {1}), cues},
        {"1 column", 1, 0, 1, Frames(3, {0, 0}) + Frames(4, {0}), cues},
        {"1 column, column 0 still: shows column 0", 1, 1, 1, Frames(3, {0, 0}) + Frames(4, {0}), cues},
        {"sound off", 3, 0, 0, Frames(3, {0, 1, 2, 0, 1, 2}) + Frames(4, {0, 1, 2}), {}},
    };
    for (const auto& c : cases) {
        Play p(c.frames);
        p.game.AnimBMPOption = c.still;
        p.game.Sound = c.sound;
        p.Ticks(static_cast<int>(c.frameLog.size()));
        EXPECT_EQ(p.effects.Only("frame"), c.frameLog) << c.name;
        EXPECT_EQ(p.effects.Only("wave"), c.waves) << c.name;
        EXPECT_EQ(p.effects.Only("stop").size(), 1u) << c.name << ": removed exactly at the last tick";
    }
}

// The cue before the frame, the frame onto every marked cell each tick;
// at the end the timer stops, changed cells are drawn, the next group is
// picked and the timer starts again.
TEST(BoardCycle, WalkFromSelectionToRemoval)
{
    Play p(1);
    p.game.Sound = 1;
    p.Ticks(3);
    const std::vector<std::string> tick = {"anim 0 1", "anim 1 1"};
    const std::vector<std::string> want =
        std::vector<std::string>{"wave s.wav", "frame 3 0"} + tick + std::vector<std::string>{"wave s.wav", "frame 3 0"} +
        tick + std::vector<std::string>{"wave d.wav", "frame 4 0"} + tick +
        std::vector<std::string>{"stop 1", "cell 0 0 0", "cell 0 1 1", "cell 1 0 1", "cell 1 1 1", "cell 2 0 0",
                                 "cell 2 1 0", "timer 1 50"};
    EXPECT_EQ(p.effects.log, want);
    EXPECT_EQ(Rows(p.game), (std::vector<std::string>{"0a0", "aa0"}));
    EXPECT_EQ(Str({p.game.m_nSelX, p.game.m_nSelY}), "0,1");
    EXPECT_FALSE(p.game.m_bDisappearing);
}

TEST(BoardCycle, NoPairLeftStartsANewBoardThatBeginsAtItsFirstFrame)
{
    ScriptedRandom random({Draw(0, 5), 0});
    Table t(random, 4);
    t.game.AnimBMPOption = 1;
    t.game.Sound = 1;
    t.game.CellArr = 4;  // one row of a single kind: always a pair
    t.game.AnimIntrvl = 20;
    t.game.Select = "s.wav";
    SetRows(t.game, {"33"});
    t.game.SelectGroup(0, 0);
    t.game.m_nSelX = t.game.m_nSelY = 0;
    t.game.OnTimer(1);
    for (int i = 0; i < 5; ++i) {
        t.effects.Clear();
        t.game.OnTimer(1);
    }
    EXPECT_EQ(t.effects.log, (std::vector<std::string>{"frame 6 3", "anim 0 0", "anim 1 0", "stop 1", "cell 0 0 0",
                                                       "cell 1 0 0", "stop 1", "cell 0 0 1", "cell 1 0 1",
                                                       "timer 1 20"}));
    EXPECT_EQ(Rows(t.game), std::vector<std::string>{"aa"});
    t.effects.Clear();
    t.game.OnTimer(1);
    EXPECT_EQ(t.effects.log, (std::vector<std::string>{"wave s.wav", "frame 1 1", "anim 0 0", "anim 1 0"}));
}

TEST(BoardCycle, SoundIsReadAtTheStartOfEachCycle)
{
    Play p(2);
    p.Ticks(1);
    p.game.Sound = 1;  // switched on in the middle of the first cycle
    p.Ticks(1);
    EXPECT_EQ(p.effects.Only("wave"), std::vector<std::string>{});
    p.Ticks(1);
    EXPECT_EQ(p.effects.Only("wave"), std::vector<std::string>{"wave s.wav"});
}

TEST(BoardCycle, BlackOutStopsEverythingAtOnce)
{
    for (int bgm : {1, 0}) {
        Play p(4);
        p.game.BGM = bgm;
        p.Ticks(2);
        p.effects.Clear();
        p.game.OnTimer(2);
        std::vector<std::string> want = {"stop 1", "stop 2", "close m.mid", "black"};
        if (!bgm)
            want.erase(want.begin() + 2);
        EXPECT_EQ(p.effects.log, want);
        EXPECT_EQ(Rows(p.game), (std::vector<std::string>{"101", "bb1"})) << "the group stays marked";
        p.effects.Clear();
        p.Ticks(2);  // still queued when the timer stopped
        EXPECT_EQ(p.effects.log, std::vector<std::string>{});
        p.game.NewBoard();
        EXPECT_FALSE(p.game.m_bBlackedOut);
        EXPECT_EQ(p.effects.log.back(), "timer 1 50");
    }
}

TEST(BoardCycle, OtherTimersAndADroppedImageDoNothing)
{
    Play p(4);
    for (unsigned id : {0u, 3u, 99u})
        p.game.OnTimer(id);
    EXPECT_EQ(p.effects.log, std::vector<std::string>{});
    p.game.ClearImage();
    p.Ticks(1);
    p.game.NewBoard();
    EXPECT_EQ(p.effects.log, std::vector<std::string>{"stop 1"});
    EXPECT_EQ(p.game.m_nSelX, -1);
}

} // namespace
