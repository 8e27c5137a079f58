#include "platform/Files.h"

#include "platform/Text.h"

namespace {

// A drive without a medium must not bring up a system box while we look.
class QuietDriveErrors {
public:
    QuietDriveErrors() : m_old(SetErrorMode(0)) { SetErrorMode(m_old | SEM_FAILCRITICALERRORS); }
    ~QuietDriveErrors() { SetErrorMode(m_old); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    UINT m_old;
};

} // namespace

bool WidePath(const std::string& path, std::wstring& wide)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    wide = Widen(path);
    return !wide.empty();
}

bool Win32FileSource::Open(const std::string& path, Sharing sharing)
{
    Close();
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    QuietDriveErrors quiet;
    const DWORD share = sharing == Sharing::Exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    m_handle = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (IsOpen() && GetFileType(m_handle) != FILE_TYPE_DISK)
        Close();
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

bool WinFileSystem::Exists(const std::string& path)
{
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    QuietDriveErrors quiet;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::string WinFileSystem::CurrentDirectory()
{
    // The directory may change between the size query and the read.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD size = GetCurrentDirectoryW(0, nullptr);
        if (size == 0)
            return std::string();
        std::wstring directory(size, L'\0');
        const DWORD length = GetCurrentDirectoryW(size, &directory[0]);
        if (length < size) {
            directory.resize(length);
            return Narrow(directory);
        }
    }
    return std::string();
}

bool WinFileSystem::ShortPath(const std::string& path, std::string& shortPath)
{
    shortPath.clear();
    std::wstring wide;
    if (!WidePath(path, wide))
        return false;
    QuietDriveErrors quiet;
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return false;
    std::wstring buffer(needed, L'\0');
    const DWORD length = GetShortPathNameW(wide.c_str(), &buffer[0], needed);
    if (length == 0 || length >= needed)
        return false;  // gone or renamed between the two calls
    buffer.resize(length);
    shortPath = Narrow(buffer);
    return !shortPath.empty();
}

std::unique_ptr<ByteSource> WinFileSystem::OpenForReading(const std::string& path)
{
    auto file = std::make_unique<Win32FileSource>();
    if (!file->Open(path, Win32FileSource::Sharing::Shared))
        return nullptr;
    return file;
}

std::string WinFileSystem::AnsiToUtf8(const std::string& bytes)
{
    return Narrow(WidenCodePage(bytes, CP_ACP));
}
