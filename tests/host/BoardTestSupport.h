#pragma once
// Fakes and helpers shared by the board tests.
#include "board/BoardGame.h"

#include <string>
#include <utility>
#include <vector>

namespace boardtest {

inline std::string Nums(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += (out.empty() ? "" : " ") + std::to_string(v);
    return out;
}

// Every effect as one line of text, so a failed comparison prints both sequences.
class RecordingEffects : public BoardEffects {
public:
    void DrawCell(int x, int y, int slot) override { Add("cell", {x, y, slot}); }
    void DrawAnimFrame(int row, int column) override { Add("frame", {row, column}); }
    void DrawAnimCell(int x, int y) override { Add("anim", {x, y}); }
    void FillBlack() override { log.push_back("black"); }
    void PlayWave(const std::string& path) override { log.push_back("wave " + path); }
    void CloseMidi(const std::string& path) override { log.push_back("close " + path); }
    void RestartTimer(unsigned id, unsigned ms) override { Add("timer", {int(id), int(ms)}), animTimer |= id == 1; }
    void StopTimer(unsigned id) override { Add("stop", {int(id)}), animTimer &= id != 1; }
    void Clear() { log.clear(); }
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.compare(0, prefix.size(), prefix) == 0)
                out.push_back(e);
        return out;
    }

    std::vector<std::string> log;
    bool animTimer = false;

private:
    void Add(const std::string& e, std::initializer_list<int> values) { log.push_back(e + " " + Nums(values)); }
};

// Hands out the given values in turn, then repeats the last one.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values = {0}) : m_values(std::move(values)) {}
    int Next15() override { return ++draws, m_next < m_values.size() ? m_values[m_next++] : m_values.back(); }
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
    game.m_nCols = static_cast<int>(rows[0].size());
    for (int y = 0; y < game.m_nRows; ++y)
        for (int x = 0; x < game.m_nCols; ++x)
            game.m_board[x][y] = static_cast<std::uint8_t>(rows[y][x] == '.' ? 0 : rows[y][x] - '0');
}

// The board as rows: kinds as digits, marked cells as letters a..e.
inline std::vector<std::string> Rows(const BoardGame& game)
{
    std::vector<std::string> rows(game.m_nRows);
    for (int y = 0; y < game.m_nRows; ++y)
        for (int x = 0; x < game.m_nCols; ++x) {
            const int v = game.m_board[x][y];
            rows[y] += static_cast<char>(v & BoardGame::kMark ? 'a' + (v & 0x0F) - 1 : '0' + v);
        }
    return rows;
}

inline std::string Str(const GridPos& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

// A game with an image of `frames` columns loaded, on its own effects.
struct Table {
    explicit Table(RandomSource& random, int frames = 4) : game(random, effects) { game.SetImage(frames); }
    RecordingEffects effects;
    BoardGame game;
};

} // namespace boardtest
