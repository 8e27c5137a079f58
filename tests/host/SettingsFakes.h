#pragma once
// A registry held in a table and a file system held in a map, with
// Windows' case rules for paths.
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/Files.h"
#include "base/Registry.h"
#include "base/Settings.h"
#include "base/ValueForms.h"

struct FakeValue {
    RegValueType type = RegValueType::Text;
    std::string data;  // the text, or the raw bytes of another type
};

class FakeRegistry : public RegistryRoot {
public:
    std::map<std::string, std::map<std::string, FakeValue>> keys;
    std::set<std::string> unopenable;  // paths whose open or create fails
    std::vector<std::string> writes;   // "PATH\NAME=TEXT"

    void SetText(const std::string& path, const std::string& name, const std::string& text)
    {
        keys[path][name] = FakeValue{RegValueType::Text, text};
    }

    std::unique_ptr<RegistryKey> CreateKey(const std::string& path, RegAccess access) override
    {
        if (unopenable.count(path))
            return nullptr;
        return std::make_unique<Key>(*this, keys[path], path, access);
    }

    std::unique_ptr<RegistryKey> OpenKey(const std::string& path, RegAccess access) override
    {
        return keys.count(path) ? CreateKey(path, access) : nullptr;
    }

private:
    class Key : public RegistryKey {
    public:
        Key(FakeRegistry& r, std::map<std::string, FakeValue>& values, std::string path, RegAccess access)
            : m_registry(r), m_values(values), m_path(std::move(path)), m_access(access) {}

        RegValueType QueryText(const std::string& name, std::string& text) override
        {
            const FakeValue v = Find(name);
            if (v.type == RegValueType::Text)
                text = v.data.substr(0, v.data.find('\0'));
            return v.type;
        }

        RegValueType QueryBytes(const std::string& name, std::size_t maxBytes,
                                std::vector<unsigned char>& bytes) override
        {
            const FakeValue v = Find(name);
            bytes.assign(v.data.begin(), v.data.begin() + std::min(maxBytes, v.data.size()));
            return v.type;
        }

        FakeValue Find(const std::string& name) const
        {
            auto it = m_values.find(name);
            return it == m_values.end() ? FakeValue{RegValueType::Missing, ""} : it->second;
        }

        void SetText(const std::string& name, const std::string& text) override
        {
            if (m_access != RegAccess::Write)
                return;  // as the real registry refuses it
            m_registry.writes.push_back(m_path + "\\" + name + "=" + text);
            m_values[name] = FakeValue{RegValueType::Text, text};
        }

    private:
        FakeRegistry& m_registry;
        std::map<std::string, FakeValue>& m_values;
        std::string m_path;
        RegAccess m_access;
    };
};

class FakeFiles : public FileSystem {
public:
    std::string currentDirectory = "C:\\Saver";

    void Add(const std::string& path, const std::string& bytes = "MThd") { m_files[Key(path)] = bytes; }
    // An empty form: the file has none.
    void SetShortForm(const std::string& path, const std::string& form) { m_short[Key(path)] = form; }

    bool Exists(const std::string& path) override { return m_files.count(Key(path)) != 0; }
    std::string CurrentDirectory() override { return currentDirectory; }
    bool ShortPath(const std::string& path, std::string& shortPath) override
    {
        auto form = m_short.find(Key(path));
        shortPath = form != m_short.end() ? form->second : path;
        return Exists(path) && !shortPath.empty();
    }
    std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override
    {
        auto file = m_files.find(Key(path));
        if (file == m_files.end())
            return nullptr;
        return std::make_unique<MemoryByteSource>(file->second.data(), file->second.size());
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

// Every field on one line, so one comparison shows all that differ.
inline std::string Dump(const Settings& s)
{
    std::ostringstream o;
    o << "Bitmap=" << s.Bitmap << " AnimIntrvl=" << s.AnimIntrvl << " BlackOutTime=" << s.BlackOutTime
      << " AnimBMPOption=" << s.AnimBMPOption << " CellSize=" << s.CellSize << " CellArr=" << s.CellArr
      << " CellNo=" << s.CellNo << " PassWord=" << s.PassWord << " BlankOption=" << s.BlankOption
      << " DoviOption=" << s.DoviOption << " BCCol=" << std::hex << s.BCCol << std::dec << " MIDI=" << s.MIDI
      << " Select=" << s.Select << " Disappear=" << s.Disappear << " BGM=" << s.BGM
      << " BGMRandomPlay=" << s.BGMRandomPlay << " Sound=" << s.Sound;
    return o.str();
}
