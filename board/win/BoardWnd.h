#pragma once
#include "base/Settings.h"
#include "board/BoardLayout.h"
#include "board/PlayCycle.h"
#include "board/win/PieceImage.h"
#include "platform/CrtRandom.h"
#include "platform/Window.h"
#include "sound/SoundPlayer.h"
#include "sound/win/SoundDevices.h"

#include <string>

// A window that plays a board of pieces on its timer and paints it. It
// owns its game, its piece image and its sound player; its settings come
// in as a value through Apply.
class BoardWnd : public Window {
public:
    static constexpr UINT_PTR kAnimTimer = 1;

    // Tests bring their own sound devices; null uses the system's.
    explicit BoardWnd(const SoundServices* sound = nullptr);
    ~BoardWnd() override;

    // The window, without a title; the sequencer reports to it.
    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent);

    // Takes the settings and redoes what they change: the piece image is
    // read when its path is new, the grid laid out and dealt anew for a new
    // size, pattern, kind count or fill, the timer set for a new speed. The
    // music restarts only when told (StartMusic). False when there is no
    // piece image: the board stays black and still.
    bool Apply(const Settings& settings);
    // Holds the animation while another loop runs (a file chooser).
    void Pause(bool paused);
    const Settings& CurrentSettings() const { return m_settings; }

    // Paints `area` of the client area into any context: the window's own,
    // a preview's or a test's bitmap.
    void Paint(HDC dc, const RECT& area);

    // Stops play and the music and shows black until Wake.
    void BlackOut();
    // A new board, and the music that played before from its start.
    void Wake();
    bool BlackedOut() const { return m_game.BlackedOut(); }

    void StartMusic(bool on) { m_sound.StartMusic(on); }
    SoundPlayer& Player() { return m_sound; }
    const PieceImage& Pieces() const { return m_pieces; }
    const BoardLayout& Layout() const { return m_layout; }
    const Board& GetBoard() const { return m_game.GetBoard(); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // The file a Bitmap setting names, or for the default our own image
    // wherever it is found, else the one built into the program.
    bool LoadPieces(const std::string& bitmap);
    // Lays the grid out anew for the window's size and DPI and deals.
    void ResetLayout();
    void Show(const PlayReport& report);
    RECT CellRect(int x, int y) const;

    // Declared first: the game and the sound player draw from it.
    CrtRandom m_random;
    Win32SoundDevices m_soundDevices;
    SoundPlayer m_sound;
    PlayCycle m_game;
    PieceImage m_pieces;
    Settings m_settings;
    std::string m_loadedPath;
    BoardLayout m_layout;
    bool m_applied = false;
    bool m_dealt = false;       // a board is in play
    bool m_frameShown = false;  // the group shows the animation slot
};
