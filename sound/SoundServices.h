#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/Files.h"
#include "base/Random.h"

// The outside world of the sound code. The Win32 layer implements these
// over winmm and kernel32; the tests fake them. Paths are UTF-8.

// The multimedia command-string interface.
class MciCommandSink {
public:
    virtual ~MciCommandSink() = default;
    // Sends one command. With reply given, the device's answer text lands
    // there. With notify set, the callback window gets MM_MCINOTIFY when the
    // command ends. Returns the interface's error code, 0 for success.
    virtual std::uint32_t SendCommand(const std::string& command, std::string* reply,
                                      bool notify) = 0;
};

// The wave player.
class WaveSink {
public:
    virtual ~WaveSink() = default;
    // Starts the file and returns at once; failures are silent.
    virtual void PlayAsync(const std::string& path) = 0;
};

// What one board window's sound needs, borrowed from its owner.
struct SoundServices {
    MciCommandSink& mci;
    WaveSink& wave;
    FileSystem& files;
    RandomSource& random;
};
