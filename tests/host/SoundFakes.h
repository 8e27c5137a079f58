#pragma once
// A sequencer and a wave player that record what they are sent.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sound/SoundServices.h"

class RecordingMci : public MciCommandSink {
public:
    std::uint32_t SendCommand(const std::string& command, std::string* reply, bool notify) override
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
