#include "base/ByteSource.h"

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
