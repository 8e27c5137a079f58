// The timer cycle: frames, cues, phases, removal, black-out.
#include "BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

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
        game.SelectGroup(game.m_nSelX = 0, game.m_nSelY = 1);
    }
    void Ticks(int n) { while (n-- > 0) game.OnTimer(1); }
};

// Cues and frames in order: "s31" is the selection cue, then row 3 column 1.
std::string CuesAndFrames(const RecordingEffects& e)
{
    std::string out;
    for (const auto& entry : e.log)
        if (entry.compare(0, 5, "wave ") == 0)
            out += entry[5];
        else if (entry.compare(0, 6, "frame ") == 0)
            out += entry.substr(6, 1) + entry.substr(8) + " ";
    return out;
}

// With 4 image columns and column 0 still, a cycle shows columns 1-3. The
// phase changes only at the end of a cycle; the group goes at the last tick.
TEST(BoardCycle, ShowsEveryFrameColumnOfEachCycleAndItsCue)
{
    const struct { const char* name; int frames, still, sound; std::string want; } cases[] = {
        {"4 columns", 4, 0, 1, "s30 31 32 33 s30 31 32 33 d40 41 42 43 "},
        {"4 columns, column 0 still", 4, 1, 1, "s31 32 33 s31 32 33 d41 42 43 "},
        {"2 columns, column 0 still", 2, 1, 1, "s31 s31 d41 "},
        {"1 column", 1, 0, 1, "s30 s30 d40 "},
        {"1 column, column 0 still: shows column 0", 1, 1, 1, "s30 s30 d40 "},
        {"sound off", 3, 0, 0, "30 31 32 30 31 32 40 41 42 "},
    };
    for (const auto& c : cases) {
        Play p(c.frames);
        p.game.AnimBMPOption = c.still;
        p.game.Sound = c.sound;
        p.Ticks(static_cast<int>(std::count(c.want.begin(), c.want.end(), ' ')));
        EXPECT_EQ(CuesAndFrames(p.effects), c.want) << c.name;
        EXPECT_EQ(p.effects.Only("stop"), std::vector<std::string>{"stop 1"}) << c.name << ": removed at the last tick";
    }
}

// Each tick draws the frame onto every marked cell; at the end the timer
// stops, the changed cells are drawn, the next group is picked and the
// timer starts again.
TEST(BoardCycle, RemovalAtTheLastTick)
{
    Play p(1);
    p.game.AnimIntrvl = 70;
    p.Ticks(2);
    p.effects.Clear();
    p.Ticks(1);
    EXPECT_EQ(p.effects.log, (std::vector<std::string>{"frame 4 0", "anim 0 1", "anim 1 1", "stop 1", "cell 0 0 0",
                                                       "cell 0 1 1", "cell 1 0 1", "cell 1 1 1", "cell 2 0 0",
                                                       "cell 2 1 0", "timer 1 70"}));
    EXPECT_EQ(Rows(p.game), (std::vector<std::string>{"0a0", "aa0"}));
    EXPECT_EQ(Str({p.game.m_nSelX, p.game.m_nSelY}), "0,1");
    EXPECT_FALSE(p.game.m_bDisappearing);
}

// Timer 2 stops everything at once; ticks still queued and other timers
// do nothing; a new board plays again.
TEST(BoardCycle, BlackOutAndStrayTicks)
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
        for (unsigned id : {1u, 1u, 0u, 3u, 99u})
            p.game.OnTimer(id);
        EXPECT_EQ(p.effects.log, std::vector<std::string>{});
        p.game.NewBoard();
        EXPECT_FALSE(p.game.m_bBlackedOut);
        EXPECT_EQ(p.effects.log.back(), "timer 1 50");
    }
}

} // namespace
