#pragma once
#include <cstddef>
#include <string>

#include "sound/SoundServices.h"

// The play list in use by one board window.
struct PlayList {
    std::string file;    // empty when none
    std::string folder;  // of the list, with its separator
    int count = 0;       // entries (non-blank lines)
};

// The number of the entry last chosen, from 1; 0 before any. The program
// shares one among all its boards (only one of them plays music at a
// time); a test keeps its own.
struct PlayListPosition {
    int entry = 0;
};

// Reads a play list the way fgets(buffer, 255, file) does in text mode:
// each read is at most 254 bytes, up to and including a line end, so a
// longer line comes back in pieces. CR LF reads as LF and Ctrl-Z ends the
// file. A line stops at a NUL byte, as the C string would.
class ListLineReader {
public:
    static constexpr std::size_t kMaxRead = 254;

    explicit ListLineReader(ByteSource& stream) : m_stream(stream) {}
    // False at the end of the file.
    bool ReadLine(std::string& line);

private:
    int NextByte();
    int NextChar();

    ByteSource& m_stream;
    char m_buffer[4096];
    std::size_t m_pos = 0;
    std::size_t m_size = 0;
    bool m_end = false;
};

// Removes blanks, tabs and line ends from the end.
void TrimTrailingSpace(std::string& text);

// The list test: after lower-casing, the first ".lst" ends the path.
bool IsPlayList(const std::string& path);

// The folder part of a path up to and including its last separator;
// empty when it has none.
std::string ListDirectory(const std::string& path);
