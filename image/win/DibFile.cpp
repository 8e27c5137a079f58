#include "image/win/DibFile.h"

#include "image/CDIB.h"
#include "platform/Text.h"

#include <commdlg.h>

#include <cstddef>
#include <utility>
#include <vector>

// The core's blocks go to GDI as they are.
static_assert(sizeof(DibInfoHeader) == sizeof(BITMAPINFOHEADER), "info header");
static_assert(offsetof(DibInfoHeader, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount), "info header");
static_assert(offsetof(DibInfoHeader, biClrUsed) == offsetof(BITMAPINFOHEADER, biClrUsed), "info header");
static_assert(offsetof(DibInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors), "colour table");
static_assert(sizeof(DibQuad) == sizeof(RGBQUAD) && offsetof(DibQuad, rgbRed) == offsetof(RGBQUAD, rgbRed),
              "colour entry");
static_assert(sizeof(DibPaletteEntry) == sizeof(PALETTEENTRY) &&
                  offsetof(DibPaletteEntry, peFlags) == offsetof(PALETTEENTRY, peFlags), "palette entry");
static_assert(offsetof(DibLogPalette, palPalEntry) == offsetof(LOGPALETTE, palPalEntry), "palette");
static_assert(sizeof(DibRect) == sizeof(RECT) && offsetof(DibRect, bottom) == offsetof(RECT, bottom), "rectangle");

Win32FileSource::Win32FileSource(Win32FileSource&& other) noexcept
    : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE))
{
}

Win32FileSource& Win32FileSource::operator=(Win32FileSource&& other) noexcept
{
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, INVALID_HANDLE_VALUE);
    }
    return *this;
}

bool Win32FileSource::Open(const std::string& path, Sharing sharing)
{
    Close();
    const DWORD share = sharing == Sharing::Exclusive ? 0 : FILE_SHARE_READ;
    m_handle = CreateFileW(Widen(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

void Win32FileSource::Close()
{
    if (IsOpen())
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

std::int64_t Win32FileSource::Position()
{
    LARGE_INTEGER zero{}, pos{};
    if (!IsOpen() || !SetFilePointerEx(m_handle, zero, &pos, FILE_CURRENT))
        return -1;
    return pos.QuadPart;
}

bool Win32FileSource::Seek(std::int64_t position)
{
    LARGE_INTEGER to;
    to.QuadPart = position;
    return IsOpen() && position >= 0 && SetFilePointerEx(m_handle, to, nullptr, FILE_BEGIN);
}

std::size_t Win32FileSource::Read(void* buffer, std::size_t count)
{
    if (!IsOpen())
        return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD chunk = count - done > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count - done);
        DWORD got = 0;
        if (!ReadFile(m_handle, out + done, chunk, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

std::int64_t Win32FileSource::Size()
{
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(m_handle, &size))
        return -1;
    return size.QuadPart;
}

namespace {

void Tell(const wchar_t* text)
{
    MessageBoxW(GetActiveWindow(), text, L"Veloma Screen Saver", MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

bool CDIB::Load(const std::string& fileName)
{
    std::string path = fileName;
    if (path.empty()) {
        std::vector<wchar_t> chosen(32768, L'\0');
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFilter = L"Image files (*.DIB, *.BMP)\0*.DIB;*.BMP\0All files (*.*)\0*.*\0";
        ofn.lpstrFile = chosen.data();
        ofn.nMaxFile = static_cast<DWORD>(chosen.size());
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;
        if (!GetOpenFileNameW(&ofn))
            return false;  // cancelled: nothing to tell
        path = Narrow(chosen.data());
    }
    Win32FileSource file;
    if (!file.Open(path, Win32FileSource::Sharing::DenyWrite)) {
        Tell(L"Failed to open file");
        return false;
    }
    const bool ok = Read(file);
    file.Close();
    if (!ok)
        Tell(L"Failed to load file");
    return ok;
}
