#pragma once
#include "platform/Gdi.h"
#include "platform/Window.h"
#include "settings/SaverSettings.h"

#include <memory>
#include <string>

// The window that holds a board of pieces and plays it on its timer. A
// start-up preview builds it with bAutoDelete set and never frees it: the
// object deletes itself once its window is gone. The setting members come
// from SaverSettings, filled by ReadSettings.
class BoardWnd : public Window, public SaverSettings {
public:
    explicit BoardWnd(BOOL bAutoDelete);
    ~BoardWnd() override;

    // Registers the board's window class on the first call of the process
    // and creates the window with an empty title. The child id and the
    // creation parameter are not used.
    virtual BOOL Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, HWND hParentWnd, UINT nID, void* lpParam);

    // The class every board window (and so every saver window) is made of.
    static const std::wstring& ClassName();

    void ReadSettings();
    BOOL LoadPieces(std::string path);
    void ResetLayout();
    void RestartTimer(UINT nIDEvent, UINT nElapse);

    void SetPassword(std::string text) { PassWord = std::move(text); }
    void SetSelectSound(std::string path) { Select = std::move(path); }
    void SetDisappearSound(std::string path) { Disappear = std::move(path); }
    void SetMidiPath(std::string path) { MIDI = std::move(path); }

protected:
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void PostNcDestroy() override;

    std::unique_ptr<GdiBitmap> m_pStripBitmap;  // the off-screen cell strip, made at the first load
    std::unique_ptr<MemoryDC> m_pMemDC;      // holds the strip and the palette
    GdiPalette m_palette;
    HPALETTE m_pOldPalette = nullptr;  // in the window's context before m_palette
    HBITMAP m_hOldBitmap = nullptr;    // in m_pMemDC before the strip

    BOOL m_bAutoDelete;
};
