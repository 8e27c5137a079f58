#pragma once
// A registry held in a table and a file system held in a set, both keeping
// a log of what was asked of them.
#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/Files.h"
#include "base/Registry.h"
#include "base/Settings.h"

struct FakeValue {
    RegValueType type = RegValueType::Text;
    std::string data;   // the text, or the raw bytes of another type
};

class FakeRegistry : public RegistryRoot {
public:
    std::map<std::string, std::map<std::string, FakeValue>> keys;
    std::set<std::string> unopenable;   // paths whose open or create fails
    std::vector<std::string> log;       // "create PATH read", "get PATH\NAME", "set PATH\NAME=TEXT"...

    void SetText(const std::string& path, const std::string& name, const std::string& text)
    {
        keys[path][name] = FakeValue{RegValueType::Text, text};
    }

    std::vector<std::string> Writes() const
    {
        std::vector<std::string> writes;
        std::copy_if(log.begin(), log.end(), std::back_inserter(writes),
                     [](const std::string& entry) { return entry.compare(0, 4, "set ") == 0; });
        return writes;
    }

    std::unique_ptr<RegistryKey> CreateKey(const std::string& path, RegAccess access) override
    {
        log.push_back("create " + path + (access == RegAccess::Read ? " read" : " write"));
        if (unopenable.count(path))
            return nullptr;
        keys[path];
        return std::make_unique<Key>(*this, path);
    }

    std::unique_ptr<RegistryKey> OpenKey(const std::string& path, RegAccess access) override
    {
        log.push_back("open " + path + (access == RegAccess::Read ? " read" : " write"));
        if (unopenable.count(path) || !keys.count(path))
            return nullptr;
        return std::make_unique<Key>(*this, path);
    }

private:
    class Key : public RegistryKey {
    public:
        Key(FakeRegistry& registry, std::string path) : m_registry(registry), m_path(std::move(path)) {}

        RegValueType QueryText(const std::string& name, std::string& text) override
        {
            const FakeValue* value = Find("get", name);
            if (value && value->type == RegValueType::Text)
                text = value->data.substr(0, value->data.find('\0'));
            return value ? value->type : RegValueType::Missing;
        }

        RegValueType QueryBytes(const std::string& name, std::size_t maxBytes,
                                std::vector<unsigned char>& bytes) override
        {
            const FakeValue* value = Find("getbytes", name);
            if (!value)
                return RegValueType::Missing;
            bytes.assign(value->data.begin(), value->data.begin() + std::min(maxBytes, value->data.size()));
            return value->type;
        }

        void SetText(const std::string& name, const std::string& text) override
        {
            m_registry.log.push_back("set " + m_path + "\\" + name + "=" + text);
            m_registry.keys[m_path][name] = FakeValue{RegValueType::Text, text};
        }

    private:
        const FakeValue* Find(const char* what, const std::string& name)
        {
            m_registry.log.push_back(std::string(what) + " " + m_path + "\\" + name);
            auto& values = m_registry.keys[m_path];
            auto it = values.find(name);
            return it == values.end() ? nullptr : &it->second;
        }

        FakeRegistry& m_registry;
        std::string m_path;
    };
};

class FakeFiles : public FileProbe {
public:
    std::set<std::string> existing;
    std::string currentDirectory = "C:\\Saver";
    std::vector<std::string> asked;

    bool Exists(const std::string& path) override
    {
        asked.push_back(path);
        return existing.count(path) != 0;
    }
    std::string CurrentDirectory() override { return currentDirectory; }
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
