#pragma once

class BoardGame;

// Follows the course of a game without taking part in it: the simulator's
// trace and the property tests listen here; the board window needs none.
class BoardObserver {
public:
    virtual ~BoardObserver() = default;

    // A new board has been generated and drawn; its first group is not picked yet.
    virtual void BoardDealt(const BoardGame& game) { (void)game; }
    // PickGroup marked `count` cells from cell (x, y).
    virtual void GroupPicked(const BoardGame& game, int x, int y, int count)
    {
        (void)game; (void)x; (void)y; (void)count;
    }
    // RemoveGroup has finished; the group had shown `selectionCycles` cycles.
    virtual void GroupRemoved(const BoardGame& game, int selectionCycles)
    {
        (void)game; (void)selectionCycles;
    }
};
