#include "sound/PlayList.h"

#include "base/ValueForms.h"

int ListLineReader::NextByte()
{
    if (m_pos == m_size) {
        if (m_end)
            return -1;
        m_size = m_stream.Read(m_buffer, sizeof m_buffer);
        m_pos = 0;
        if (m_size == 0) {
            m_end = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(m_buffer[m_pos++]);
}

int ListLineReader::NextChar()
{
    int c = NextByte();
    if (c == 0x1A) {
        // Ctrl-Z is the end of a text-mode file; nothing after it is read.
        m_end = true;
        m_pos = m_size;
        return -1;
    }
    if (c == '\r') {
        int next = NextByte();
        if (next == '\n')
            return '\n';
        if (next >= 0)
            --m_pos;  // a lone CR stays; the byte after it is read next
    }
    return c;
}

bool ListLineReader::ReadLine(std::string& line)
{
    line.clear();
    std::size_t count = 0;
    bool cut = false;
    while (count < kMaxRead) {
        int c = NextChar();
        if (c < 0)
            break;
        ++count;
        if (c == 0)
            cut = true;
        else if (!cut)
            line.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return count > 0;
}

void TrimTrailingSpace(std::string& text)
{
    std::size_t end = text.find_last_not_of(" \t\r\n\v\f");
    text.erase(end == std::string::npos ? 0 : end + 1);
}

bool IsPlayList(const std::string& path)
{
    std::string lower = path;
    LowerAscii(lower);
    std::size_t pos = lower.find(".lst");
    return pos != std::string::npos && pos + 4 == lower.size();
}

std::string ListDirectory(const std::string& path)
{
    // Either separator: Windows takes both. In UTF-8 neither byte can sit
    // inside another character.
    std::size_t pos = path.find_last_of("\\/");
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}
