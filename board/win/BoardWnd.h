#pragma once
#include "platform/CrtRandom.h"
#include "board/BoardEffects.h"
#include "board/BoardGame.h"
#include "image/CDIB.h"
#include "platform/Gdi.h"
#include "platform/Window.h"
#include "sound/SoundPlayer.h"
#include "sound/win/SoundDevices.h"

#include <memory>
#include <string>

// The window that holds a board of pieces, plays it on its timers and
// draws it. Its owner keeps the object until the window is gone. The setting
// members come from Settings (through BoardGame), filled by
// ReadSettings; owners write them directly.
class BoardWnd : public Window, protected BoardEffects, public BoardGame {
public:
    BoardWnd();
    ~BoardWnd() override;

    // Registers the board's window class on the first call of the process
    // and creates the window with an empty title. The child id and the
    // creation parameter are not used.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd, UINT nID, void* lpParam);

    // The class every board window (and so every saver window) is made of.
    static const std::wstring& ClassName();

    void ReadSettings();
    // Reads the piece image and starts play; FALSE leaves the board black
    // and still, without an image.
    BOOL LoadPieces(std::string path);
    // Lays the grid out for the client area, scales the pictures into the
    // strip and deals a new board.
    void ResetLayout();

    void RestartTimer(UINT nIDEvent, UINT nElapse) override;
    void StopTimer(UINT nIDEvent) override;
    // Timer 2 after BlackOutTime minutes; none while BlackOutTime is 0.
    void StartBlackOutTimer();

    void SetPassword(std::string text) { PassWord = std::move(text); }
    void SetSelectSound(std::string path) { Select = std::move(path); }
    void SetDisappearSound(std::string path) { Disappear = std::move(path); }
    void SetMidiPath(std::string path) { MIDI = std::move(path); }

    void StartMusic(BOOL on) { m_sound.StartMusic(on != FALSE); }
    void PlayWave(const std::string& path) override { m_sound.PlayWave(path); }
    void CloseMidi(const std::string& path) override { m_sound.CloseMidi(path); }
    // The play list in use and the music commands, for the settings dialog.
    SoundPlayer& Player() { return m_sound; }

    // Read by the settings and colour dialogs, which draw from the same
    // image and realise the same palette.
    std::unique_ptr<CDIB> m_pDib;
    GdiPalette m_palette;
    HPALETTE m_pOldPalette = nullptr;  // in the window's context before m_palette

protected:
    // Tests bring their own sound devices.
    explicit BoardWnd(const SoundServices* sound);

    // Paints, plays on the timers and restarts the music when a piece has ended.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);

    // The engine's drawing, through the strip (BoardDrawing_win.cpp).
    void DrawCell(int x, int y, int slot) override;
    void DrawAnimFrame(int row, int column) override;
    void DrawAnimCell(int x, int y) override;
    void FillBlack() override;

    // Tests shorten the minute of the black-out timer.
    void SetMinuteLength(std::uint32_t ms) { m_nMinuteMs = ms; }

    std::unique_ptr<GdiBitmap> m_pStripBitmap;  // the off-screen cell strip, made at the first load
    std::unique_ptr<MemoryDC> m_pMemDC;      // holds the strip and the palette
    HBITMAP m_hOldBitmap = nullptr;    // in m_pMemDC before the strip

private:
    bool ReadPieceImage(const std::string& path);
    void RestorePalette();
    void RealizePiecePalette();
    void CreateStrip();
    void DrawAnimFrameInto(int slot, int row, int column);
    void CopySlot(HDC dc, int slot, int x, int y);
    void FillStrip(int left, int width, COLORREF colour);

    CrtRandom m_random;
    Win32SoundDevices m_soundDevices;
    SoundPlayer m_sound;
    std::uint32_t m_nMinuteMs = 60000;
};
