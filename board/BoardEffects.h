#pragma once
#include <string>

// Everything the game does to the outside world: the board window implements
// it with GDI, window timers and the sound layer; tests record the calls.
// The calls come in the order the game needs them, so recording them shows
// both what was drawn and when.
class BoardEffects {
public:
    virtual ~BoardEffects() = default;

    // Copy strip slot 0..5 (empty cell, kinds at rest) onto cell (x, y).
    virtual void DrawCell(int x, int y, int slot) = 0;
    // Stretch frame column `column` of image row `row` into the animation slot.
    virtual void DrawAnimFrame(int row, int column) = 0;
    // Copy the animation slot onto cell (x, y).
    virtual void DrawAnimCell(int x, int y) = 0;
    // Fill the whole client area with black.
    virtual void FillBlack() = 0;

    // The sound layer decides itself whether anything is heard.
    virtual void PlayWave(const std::string& path) = 0;
    virtual void CloseMidi(const std::string& path) = 0;

    // Stop the timer if it runs, then set it anew.
    virtual void RestartTimer(unsigned id, unsigned milliseconds) = 0;
    virtual void StopTimer(unsigned id) = 0;
};
