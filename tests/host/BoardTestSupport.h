#pragma once
// Fakes and helpers shared by the board tests.
#include "board/BoardGame.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace boardtest {

// Records every effect as one line of text, so a failing comparison prints
// both sequences readably.
class RecordingEffects : public BoardEffects {
public:
    void DrawCell(int x, int y, int slot) override { Add("cell " + Xy(x, y) + " " + std::to_string(slot)); }
    void DrawAnimFrame(int row, int column) override
    {
        Add("frame " + std::to_string(row) + " " + std::to_string(column));
    }
    void DrawAnimCell(int x, int y) override { Add("anim " + Xy(x, y)); }
    void FillBlack() override { Add("black"); }
    void PlayWave(const std::string& path) override { Add("wave " + path); }
    void CloseMidi(const std::string& path) override { Add("close " + path); }
    void RestartTimer(unsigned id, unsigned ms) override
    {
        Add("timer " + std::to_string(id) + " " + std::to_string(ms));
        if (id == 1)
            animTimer = true;
    }
    void StopTimer(unsigned id) override
    {
        Add("stop " + std::to_string(id));
        if (id == 1)
            animTimer = false;
    }

    std::vector<std::string> log;
    bool animTimer = false;
    bool recording = true;

    void Clear() { log.clear(); }
    // Entries that start with `prefix`.
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.compare(0, prefix.size(), prefix) == 0)
                out.push_back(e);
        return out;
    }

private:
    static std::string Xy(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    void Add(std::string e)
    {
        if (recording)
            log.push_back(std::move(e));
    }
};

// Hands out the given values in turn, then repeats the last one.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values = {0}) : m_values(std::move(values)) {}
    int Next15() override
    {
        ++draws;
        if (m_next < m_values.size())
            return m_values[m_next++];
        return m_values.empty() ? 0 : m_values.back();
    }
    void Append(int value) { m_values.push_back(value); }
    int draws = 0;

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

// The smallest 15-bit value for which Random(n) yields `value`.
inline int Draw(int value, int n)
{
    return static_cast<int>((static_cast<long long>(value) * 32768 + n - 1) / n);
}

// Puts a board given as rows of digits ('.' or '0' empty) into the game.
inline void SetRows(BoardGame& game, const std::vector<std::string>& rows)
{
    game.m_nRows = static_cast<int>(rows.size());
    game.m_nCols = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    for (int y = 0; y < game.m_nRows; ++y)
        for (int x = 0; x < game.m_nCols; ++x) {
            const char c = rows[y][x];
            game.m_board[x][y] = static_cast<std::uint8_t>(c == '.' ? 0 : c - '0');
        }
}

// The board as rows: kinds as digits, marked cells as letters a..e.
inline std::vector<std::string> Rows(const BoardGame& game)
{
    std::vector<std::string> rows;
    for (int y = 0; y < game.m_nRows; ++y) {
        std::string row;
        for (int x = 0; x < game.m_nCols; ++x) {
            const int v = game.m_board[x][y];
            if (v & BoardGame::kMark)
                row += static_cast<char>('a' + (v & 0x0F) - 1);
            else
                row += static_cast<char>('0' + v);
        }
        rows.push_back(row);
    }
    return rows;
}

// A game with an image of `frames` columns loaded, on its own effects.
struct Table {
    explicit Table(RandomSource& random, int frames = 4) : game(random, effects)
    {
        game.SetImage(frames);
    }
    RecordingEffects effects;
    BoardGame game;
};

} // namespace boardtest
