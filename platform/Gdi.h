#pragma once
#include <windows.h>

#include <utility>

// Owning wrappers: a handle has one owner, moves but never copies.

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { EndPaint(m_hWnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC Handle() const { return m_hDC; }
    // The part of the window to paint.
    const RECT& Area() const { return m_ps.rcPaint; }

private:
    HWND m_hWnd;
    HDC m_hDC;
    PAINTSTRUCT m_ps{};
};

// A window's client area context (GetDC/ReleaseDC).
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(GetDC(hwnd)) {}
    ClientDC(ClientDC&& other) noexcept
        : m_hWnd(std::exchange(other.m_hWnd, nullptr)), m_hDC(std::exchange(other.m_hDC, nullptr))
    {
    }
    ClientDC& operator=(ClientDC&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_hWnd = std::exchange(other.m_hWnd, nullptr);
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    ~ClientDC() { Release(); }

    HDC Handle() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    void Release()
    {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

    HWND m_hWnd;
    HDC m_hDC;
};

// A memory context compatible with the given one (the screen when null).
class MemoryDC {
public:
    explicit MemoryDC(HDC compatible = nullptr) : m_hDC(CreateCompatibleDC(compatible)) {}
    MemoryDC(MemoryDC&& other) noexcept : m_hDC(std::exchange(other.m_hDC, nullptr)) {}
    MemoryDC& operator=(MemoryDC&& other) noexcept
    {
        if (this != &other) {
            if (m_hDC)
                DeleteDC(m_hDC);
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC()
    {
        if (m_hDC)
            DeleteDC(m_hDC);
    }

    HDC Handle() const { return m_hDC; }
    explicit operator bool() const { return m_hDC != nullptr; }

private:
    HDC m_hDC;
};

// A GDI object (bitmap, palette, brush...) deleted with its owner.
template <class Handle_>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle_ handle) : m_handle(handle) {}
    GdiObject(GdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    Handle_ Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    void Reset(Handle_ handle = nullptr)
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle_ m_handle = nullptr;
};

using GdiBitmap = GdiObject<HBITMAP>;
using GdiPalette = GdiObject<HPALETTE>;
using GdiBrush = GdiObject<HBRUSH>;

// Selects an object for one scope and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(SelectObject(dc, object)) {}
    ~SelectGuard()
    {
        if (m_hOld && m_hOld != HGDI_ERROR)
            SelectObject(m_hDC, m_hOld);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// Selects a palette in the foreground for one scope, realised where the
// display uses palettes, and puts the previous one back. A null palette
// (images deeper than 256 colours have none) changes nothing. Realising on
// other displays would only tell every window the palette changed, at
// every paint.
class PaletteGuard {
public:
    PaletteGuard(HDC dc, HPALETTE palette)
        : m_hDC(dc), m_hOld(palette ? SelectPalette(dc, palette, FALSE) : nullptr)
    {
        if (m_hOld && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE))
            RealizePalette(dc);
    }
    ~PaletteGuard()
    {
        if (m_hOld)
            SelectPalette(m_hDC, m_hOld, TRUE);
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;

private:
    HDC m_hDC;
    HPALETTE m_hOld;
};
