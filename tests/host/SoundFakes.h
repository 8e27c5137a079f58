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
        auto failure = errors.find(command.substr(0, command.find(' ')));
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

class FakeFileSystem : public SoundFileSystem {
public:
    void Add(const std::string& path, const std::string& bytes = "MThd") { m_files[Key(path)] = bytes; }
    // An empty form: the file has none.
    void SetShortForm(const std::string& path, const std::string& form) { m_short[Key(path)] = form; }
    void Lock(const std::string& path) { m_locked.insert(Key(path)); }

    bool FileExists(const std::string& path) override { return m_files.count(Key(path)) != 0; }

    bool GetShortPath(const std::string& path, std::string& shortPath) override
    {
        auto form = m_short.find(Key(path));
        shortPath = form != m_short.end() ? form->second : path;
        return FileExists(path) && !shortPath.empty();
    }

    std::unique_ptr<ByteStream> OpenForReading(const std::string& path) override
    {
        auto file = m_files.find(Key(path));
        if (file == m_files.end() || m_locked.count(Key(path)))
            return nullptr;
        return std::make_unique<MemoryStream>(file->second, 5);
    }

    // Latin-1 stands in for the ANSI code page, so a converted byte shows.
    std::string AnsiToUtf8(const std::string& bytes) override
    {
        std::string text;
        for (unsigned char c : bytes) {
            if (c >= 0x80)
                text.push_back(static_cast<char>(0xC0 | (c >> 6)));
            text.push_back(static_cast<char>(c < 0x80 ? c : 0x80 | (c & 0x3F)));
        }
        return text;
    }

private:
    static std::string Key(std::string path)
    {
        LowerAscii(path);
        return path;
    }

    std::map<std::string, std::string> m_files;
    std::map<std::string, std::string> m_short;
    std::set<std::string> m_locked;
};

} // namespace soundfakes
