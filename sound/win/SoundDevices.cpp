#include "sound/win/SoundDevices.h"

#include <mmsystem.h>

#include "platform/Text.h"
#include "platform/Registry.h"

namespace {

// The length MCI is told for a reply: one short of the buffer.
constexpr UINT kReplyLength = 127;

// A path as the wide API takes it; false for one that would be cut short
// at an embedded NUL and so name some other file.
bool WidePath(const std::string& path, std::wstring& wide)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    wide = Widen(path);
    return !wide.empty();
}

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

class FileStream : public ByteStream {
public:
    explicit FileStream(HANDLE file) : m_file(file) {}
    ~FileStream() override { CloseHandle(m_file); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    std::size_t Read(char* buffer, std::size_t size) override
    {
        DWORD got = 0;
        const DWORD want = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!ReadFile(m_file, buffer, want, &got, nullptr))
            return 0;
        return got;
    }

private:
    HANDLE m_file;
};

} // namespace

std::uint32_t MciStringSink::SendCommand(const std::string& command, std::string* reply,
                                         bool notify)
{
    if (reply)
        reply->clear();
    const std::wstring wide = Widen(command);
    wchar_t buffer[kReplyLength + 1] = {};
    const MCIERROR error = mciSendStringW(wide.c_str(), reply ? buffer : nullptr,
                                          reply ? kReplyLength : 0,
                                          notify ? m_callback : nullptr);
    if (reply && error == 0) {
        buffer[kReplyLength] = L'\0';
        *reply = Narrow(buffer);
    }
    return error;
}

void SndPlaySoundSink::PlayAsync(const std::string& path)
{
    std::wstring wide;
    if (WidePath(path, wide))
        sndPlaySoundW(wide.c_str(), SND_ASYNC | SND_NODEFAULT);
}

bool Win32SoundFileSystem::FileExists(const std::string& path)
{
    std::wstring wide;
    WinFileProbe probe;
    return WidePath(path, wide) && probe.Exists(path);
}

bool Win32SoundFileSystem::GetShortPath(const std::string& path, std::string& shortPath)
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

std::unique_ptr<ByteStream> Win32SoundFileSystem::OpenForReading(const std::string& path)
{
    std::wstring wide;
    if (!WidePath(path, wide))
        return nullptr;
    QuietDriveErrors quiet;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    // A pipe or a device could block a read forever; lists are disk files.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<FileStream>(file);
}

std::string Win32SoundFileSystem::AnsiToUtf8(const std::string& bytes)
{
    return Narrow(WidenCodePage(bytes, CP_ACP));
}
