#pragma once
#include "base/Files.h"

#include <windows.h>

// A file read through a Win32 handle, closed with the object.
class Win32FileSource : public ByteSource {
public:
    enum class Sharing {
        Exclusive,  // the board's own loading: nobody else may touch the file meanwhile
        Shared,     // others may go on reading and writing
    };
    Win32FileSource() = default;
    ~Win32FileSource() override { Close(); }
    Win32FileSource(const Win32FileSource&) = delete;
    Win32FileSource& operator=(const Win32FileSource&) = delete;

    // An existing disk file (a pipe or a device could block a read forever).
    bool Open(const std::string& path, Sharing sharing);
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Close();

    std::int64_t Position() override;
    bool Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Size() override;

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

class WinFileSystem : public FileSystem {
public:
    bool Exists(const std::string& path) override;
    std::string CurrentDirectory() override;
    bool ShortPath(const std::string& path, std::string& shortPath) override;
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
    std::string AnsiToUtf8(const std::string& bytes) override;
};

// A path as the wide API takes it; false for one that would be cut short
// at an embedded NUL and so name some other file.
bool WidePath(const std::string& path, std::wstring& wide);
