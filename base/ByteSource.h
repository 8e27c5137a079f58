#pragma once
#include <cstddef>
#include <cstdint>

// Where a bitmap is read from. The Win32 layer wraps a file handle; tests
// and tools read from memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Current position from the start, or -1 when it cannot be told.
    virtual std::int64_t Position() = 0;
    // Moves to an absolute position; false when that is not possible.
    virtual bool Seek(std::int64_t position) = 0;
    // Reads up to count bytes; answers how many came.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Total length, or -1 when unknown.
    virtual std::int64_t Size() = 0;
};

// A block of memory that the caller keeps alive.
class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const void* data, std::size_t size);
    std::int64_t Position() override;
    bool Seek(std::int64_t position) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    std::int64_t Size() override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
