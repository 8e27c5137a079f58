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

class RecordingMci : public MciCommandSink {
public:
    std::uint32_t SendCommand(const std::string& command, std::string* reply,
                              bool notify) override
    {
        // Only a play asks for a notice and only a status for a reply.
        const std::string verb = command.substr(0, command.find(' '));
        if (notify != (verb == "play") || (reply != nullptr) != (verb == "status"))
            misrouted.push_back(command);
        sent.push_back(command);
        auto failure = errors.find(verb);
        if (failure != errors.end())
            return failure->second;
        // A device goes by its file's name until it is closed; that name
        // cannot be opened twice.
        const std::string name = command.substr(verb.size() + 1, command.find(" type") - verb.size() - 1);
        if (verb == "open" && !open.insert(name).second)
            return 265;
        if (verb == "close")
            open.erase(name);
        if (reply)
            *reply = modeReply;
        return 0;
    }

    const std::vector<std::string>& Texts() const { return sent; }

    std::vector<std::string> sent, misrouted;
    std::set<std::string> open;
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
    MemoryStream(std::string bytes, std::size_t piece)
        : m_bytes(std::move(bytes)), m_piece(piece) {}
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
        return file == m_files.end() ? nullptr : std::make_unique<MemoryStream>(file->second, 5);
    }

    // The Wine tests convert for real.
    std::string AnsiToUtf8(const std::string& bytes) override { return bytes; }

private:
    static std::string Key(std::string path)
    {
        LowerAscii(path);
        return path;
    }

    std::map<std::string, std::string> m_files;
    std::map<std::string, std::string> m_short;
};

} // namespace soundfakes
