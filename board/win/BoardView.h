#pragma once
#include "base/Settings.h"
#include "board/BoardPresenter.h"
#include "board/win/GdiCanvas.h"
#include "board/win/PieceImage.h"
#include "platform/CrtRandom.h"
#include "sound/SoundPlayer.h"
#include "sound/win/SoundDevices.h"

#include <string>

// A board of pieces played in a window that holds it: its game (through
// the presenter), its piece image and its sound player. The window hands
// it its messages; its settings come in as a value through Apply.
class BoardView {
public:
    static constexpr UINT_PTR kAnimTimer = 1;

    // Tests bring their own sound devices; null uses the system's.
    explicit BoardView(const SoundServices* sound = nullptr);
    ~BoardView();
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    // The window's messages: true when handled, with the result to return.
    bool OnMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Takes the settings and redoes what they change: the piece image is
    // read when its path is new, the grid laid out and dealt anew for a new
    // size, pattern, kind count or fill, the timer set for a new speed. The
    // music restarts only when told (StartMusic). False when there is no
    // piece image: the board stays black and still.
    bool Apply(const Settings& settings);
    // Holds the animation while another loop runs (a file chooser).
    void Pause(bool paused) { m_presenter.Pause(paused); }
    const Settings& CurrentSettings() const { return m_settings; }

    // Paints `area` of the client area into any context: the window's own,
    // a preview's or a test's bitmap.
    void Paint(HDC dc, const RECT& area);

    // Stops play and the music and shows black until Wake.
    void BlackOut();
    // A new board, and the music that played before from its start.
    void Wake();
    bool BlackedOut() const { return m_presenter.BlackedOut(); }

    void StartMusic(bool on) { m_sound.StartMusic(on); }
    SoundPlayer& Player() { return m_sound; }
    const PieceImage& Pieces() const { return m_pieces; }
    const BoardLayout& Layout() const { return m_presenter.Layout(); }
    const Board& GetBoard() const { return m_presenter.Game().GetBoard(); }

private:
    // The file a Bitmap setting names, or for the default our own image
    // wherever it is found, else the one built into the program.
    bool LoadPieces(const std::string& bitmap);
    // Lays the grid out anew for the window's size and DPI and deals.
    void ResetLayout();
    BoardLook Look() const;
    // Runs `draw` with the window's client area as the canvas.
    template <class Draw>
    void OnScreen(Draw draw);

    // Declared first: the game and the sound player draw from it.
    CrtRandom m_random;
    Win32SoundDevices m_soundDevices;
    SoundPlayer m_sound;
    PieceImage m_pieces;
    GdiCanvas m_canvas{m_pieces};
    WindowStepTimer m_timer{kAnimTimer};
    BoardPresenter m_presenter;
    HWND m_window = nullptr;
    Settings m_settings;
    std::string m_loadedPath;
    bool m_applied = false;
};
