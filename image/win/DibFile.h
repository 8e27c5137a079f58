#pragma once
#include "base/ByteSource.h"

#include <string>
#include <windows.h>

// A file read through a Win32 handle, closed with the object.
class Win32FileSource : public ByteSource {
public:
    enum class Sharing {
        Exclusive,  // the board's own loading: nobody else may touch the file meanwhile
        DenyWrite,  // others may read, nobody may write
    };

    Win32FileSource() = default;
    ~Win32FileSource() override { Close(); }
    Win32FileSource(const Win32FileSource&) = delete;
    Win32FileSource& operator=(const Win32FileSource&) = delete;
    Win32FileSource(Win32FileSource&& other) noexcept;
    Win32FileSource& operator=(Win32FileSource&& other) noexcept;

    // path is UTF-8; opens an existing file for reading.
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
