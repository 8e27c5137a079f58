#pragma once
// Fakes of the sound code's outside world: a recording command sink and
// wave player, and an in-memory file system with Windows' case rules.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sound/PlayList.h"
#include "sound/SoundServices.h"

namespace soundfakes {

struct SentCommand {
    std::string text;
    bool notify;
    bool wantsReply;
};

class RecordingMci : public MciCommandSink {
public:
    std::uint32_t SendCommand(const std::string& command, std::string* reply,
                              bool notify) override
    {
        sent.push_back({command, notify, reply != nullptr});
        std::string verb = command.substr(0, command.find(' '));
        auto failure = errors.find(verb);
        if (failure != errors.end())
            return failure->second;
        if (reply)
            *reply = modeReply;
        return 0;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const SentCommand& c : sent)
            texts.push_back(c.text);
        return texts;
    }

    std::vector<SentCommand> sent;
    std::map<std::string, std::uint32_t> errors;  // by the command's first word
    std::string modeReply = "stopped";
};

class RecordingWave : public WaveSink {
public:
    void PlayAsync(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

// Hands out its bytes in pieces of a chosen size, to cross buffer edges.
class MemoryStream : public ByteStream {
public:
    MemoryStream(std::string bytes, std::size_t piece) : m_bytes(std::move(bytes)), m_piece(piece) {}
    std::size_t Read(char* buffer, std::size_t size) override
    {
        std::size_t n = std::min({size, m_piece, m_bytes.size() - m_pos});
        std::copy_n(m_bytes.data() + m_pos, n, buffer);
        m_pos += n;
        return n;
    }

private:
    std::string m_bytes;
    std::size_t m_piece;
    std::size_t m_pos = 0;
};

inline std::vector<std::string> ReadAllLines(const std::string& bytes, std::size_t piece)
{
    MemoryStream stream(bytes, piece);
    ListLineReader reader(stream);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    return lines;
}

class FakeFileSystem : public SoundFileSystem {
public:
    void Add(const std::string& path, const std::string& bytes = "MThd") { m_files[Key(path)] = bytes; }
    void Remove(const std::string& path) { m_files.erase(Key(path)); }
    void SetShortForm(const std::string& path, const std::string& form) { m_short[Key(path)] = form; }
    void DenyShortForm(const std::string& path) { m_noShort.insert(Key(path)); }
    void Lock(const std::string& path) { m_locked.insert(Key(path)); }

    bool FileExists(const std::string& path) override { return m_files.count(Key(path)) != 0; }

    bool GetShortPath(const std::string& path, std::string& shortPath) override
    {
        const std::string key = Key(path);
        if (!m_files.count(key) || m_noShort.count(key))
            return false;
        auto form = m_short.find(key);
        shortPath = form != m_short.end() ? form->second : path;
        return true;
    }

    std::unique_ptr<ByteStream> OpenForReading(const std::string& path) override
    {
        const std::string key = Key(path);
        auto file = m_files.find(key);
        if (file == m_files.end() || m_locked.count(key))
            return nullptr;
        return std::make_unique<MemoryStream>(file->second, 5);
    }

    // Latin-1 stands in for the ANSI code page, so a converted byte shows.
    std::string AnsiToUtf8(const std::string& bytes) override
    {
        std::string text;
        for (unsigned char c : bytes) {
            if (c < 0x80) {
                text.push_back(static_cast<char>(c));
            } else {
                text.push_back(static_cast<char>(0xC0 | (c >> 6)));
                text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
        return text;
    }

private:
    static std::string Key(const std::string& path)
    {
        std::string key = path;
        LowerAscii(key);
        return key;
    }

    std::map<std::string, std::string> m_files;
    std::map<std::string, std::string> m_short;
    std::set<std::string> m_noShort;
    std::set<std::string> m_locked;
};

} // namespace soundfakes
