#include "board/win/BoardView.h"

#include "base/Dpi.h"
#include "platform/Dpi.h"
#include "platform/Files.h"

#include <utility>

BoardView::BoardView(const SoundServices* sound)
    : m_sound(sound ? *sound
                    : SoundServices{m_soundDevices.mci, m_soundDevices.wave, m_soundDevices.files, m_random},
              ProgramPlayListPosition()),
      m_presenter(m_random, m_canvas, m_timer)
{
}

BoardView::~BoardView()
{
    // Whether music is on or not: nothing may stay open for this board.
    m_sound.CloseMidi(m_sound.Midi());
}

bool BoardView::Apply(const Settings& settings)
{
    const Settings old = std::exchange(m_settings, settings);
    const bool first = !m_applied;
    m_applied = true;

    const bool music = settings.MIDI != old.MIDI || settings.BGMRandomPlay != old.BGMRandomPlay;
    if (first || music || settings.BGM != old.BGM || settings.Sound != old.Sound ||
        settings.Select != old.Select || settings.Disappear != old.Disappear) {
        if (!first && music)
            m_sound.StartMusic(false);
        m_sound.Apply(settings);
    }
    const bool image = first || !m_pieces.Loaded() || settings.Bitmap != m_loadedPath;
    if (image) {
        m_loadedPath.clear();
        if (LoadPieces(settings.Bitmap))
            m_loadedPath = settings.Bitmap;
        ResetLayout();
    } else {
        OnScreen([&] { m_presenter.Apply(Look()); });
    }
    return m_pieces.Loaded();
}

bool BoardView::LoadPieces(const std::string& bitmap)
{
    WinFileSystem files;
    const PieceImageSource source = FindPieceImage(bitmap, OurPieceImagePlaces(), files);
    return source.builtIn ? m_pieces.LoadBuiltIn() : m_pieces.Load(source.path);
}

BoardLook BoardView::Look() const
{
    // The setting is meant at 96 DPI: the cells look the same size on any display.
    return LookOf(m_settings, m_window ? WindowDpi(m_window) : kDefaultDpi);
}

template <class Draw>
void BoardView::OnScreen(Draw draw)
{
    if (!m_window) {
        draw();
        return;
    }
    ClientDC dc(m_window);
    GdiCanvas::Target target(m_canvas, dc.Handle());
    draw();
}

void BoardView::ResetLayout()
{
    RECT client{};
    if (m_window)
        GetClientRect(m_window, &client);
    OnScreen([&] { m_presenter.Reset(client.right, client.bottom, Look()); });
}

void BoardView::BlackOut()
{
    OnScreen([&] { m_presenter.BlackOut(); });
    if (m_settings.BGM)
        m_sound.CloseMidi(m_sound.Midi());
}

void BoardView::Wake()
{
    ResetLayout();
    if (m_settings.BGM)
        m_sound.Restart();
}

void BoardView::Paint(HDC dc, const RECT& area)
{
    GdiCanvas::Target target(m_canvas, dc);
    m_presenter.Paint({area.left, area.top, area.right, area.bottom});
}

bool BoardView::OnMessage(HWND window, UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case WM_CREATE:
        m_window = window;
        m_timer.Attach(window);
        m_soundDevices.mci.SetCallbackWindow(window);
        return false;
    case WM_DESTROY:
        m_timer.Stop();
        m_timer.Attach(nullptr);
        m_window = nullptr;
        return false;
    case WM_PAINT: {
        PaintDC dc(window);
        Paint(dc.Handle(), dc.Area());
        return true;
    }
    case WM_ERASEBKGND:
        result = 1;  // the paint routine covers every pixel
        return true;
    case WM_SIZE:
    case WM_DPICHANGED_AFTERPARENT:
        // A new size or DPI deals a board fitted to it; a blacked-out board
        // waits for its wake, which lays it out anyway.
        if (m_applied && !BlackedOut())
            ResetLayout();
        return false;
    case WM_DPICHANGED:
        // A top-level board stays where it was put: whoever placed it on
        // its monitor moves it. Only the cells follow the new DPI.
        if (m_applied && !BlackedOut())
            ResetLayout();
        return true;
    case WM_TIMER:
        if (wParam != kAnimTimer)
            return false;
        OnScreen([&] {
            const Wave wave = m_presenter.Step();
            if (wave != Wave::None)
                m_sound.PlayWave(wave == Wave::Select ? m_settings.Select : m_settings.Disappear);
        });
        return true;
    case kMmMciNotify:
        m_sound.OnMciNotify(static_cast<std::uintptr_t>(wParam));
        return false;
    }
    return false;
}
