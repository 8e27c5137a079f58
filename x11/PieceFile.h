#pragma once
#include "base/ByteSource.h"

#include <cstdint>
#include <string>

class PixelCanvas;

// The most of a file the module reads for a piece image. A piece image is
// 352 pixels high; 32 MB hold several hundred frame columns at 32 bits.
constexpr std::int64_t kPieceFileLimit = 32 << 20;

// A file read in place with pread: nothing is held but what the reader
// asks for, and it looks no longer than `limit` bytes, so a header that
// calls for more is refused before anything is allocated.
class FileByteSource : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens a regular file; false with the reason for anything else (a
    // folder, a device, a pipe, no such file, no permission).
    bool Open(const std::string& path, std::int64_t limit, std::string& why);
    // The file is longer than the limit.
    bool Clipped() const { return m_clipped; }
    std::int64_t FullSize() const { return m_fullSize; }
    // Why the last read came short, if the system said.
    const std::string& ReadError() const { return m_readError; }

    std::int64_t Position() override { return m_pos; }
    bool Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Size() override { return m_size; }

private:
    int m_fd = -1;
    std::int64_t m_pos = 0;
    std::int64_t m_size = 0;
    std::int64_t m_fullSize = 0;
    bool m_clipped = false;
    std::string m_readError;
};

// The piece image at `path`, or the built-in one for an empty path, into
// the board. False with one line on what is wrong with the file.
bool LoadPieceFile(PixelCanvas& board, const std::string& path, std::string& why);
