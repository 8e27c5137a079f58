#include "base/ByteSource.h"

#include <climits>
#include <cstring>

MemoryByteSource::MemoryByteSource(const void* data, std::size_t size)
    : m_data(static_cast<const unsigned char*>(data)), m_size(data ? size : 0)
{
}

std::int64_t MemoryByteSource::Position() { return static_cast<std::int64_t>(m_pos); }

bool MemoryByteSource::Seek(std::int64_t position)
{
    // Like a file, a position past the end is allowed; reads there get nothing.
    if (position < 0 || static_cast<std::uint64_t>(position) > SIZE_MAX)
        return false;
    m_pos = static_cast<std::size_t>(position);
    return true;
}

std::size_t MemoryByteSource::Read(void* buffer, std::size_t count)
{
    if (m_pos >= m_size)
        return 0;
    std::size_t n = m_size - m_pos < count ? m_size - m_pos : count;
    std::memcpy(buffer, m_data + m_pos, n);
    m_pos += n;
    return n;
}

std::int64_t MemoryByteSource::Size() { return static_cast<std::int64_t>(m_size); }

std::int64_t StdFileByteSource::Position()
{
    long pos = m_file ? std::ftell(m_file) : -1L;
    return pos < 0 ? -1 : pos;
}

bool StdFileByteSource::Seek(std::int64_t position)
{
    if (!m_file || position < 0 || position > LONG_MAX)
        return false;
    return std::fseek(m_file, static_cast<long>(position), SEEK_SET) == 0;
}

std::size_t StdFileByteSource::Read(void* buffer, std::size_t count)
{
    return m_file ? std::fread(buffer, 1, count, m_file) : 0;
}

std::int64_t StdFileByteSource::Size()
{
    long here = m_file ? std::ftell(m_file) : -1L;
    if (here < 0 || std::fseek(m_file, 0, SEEK_END) != 0)
        return -1;
    long end = std::ftell(m_file);
    if (std::fseek(m_file, here, SEEK_SET) != 0)
        return -1;
    return end < 0 ? -1 : end;
}
