#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

// Raw bytes of an open file.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Up to size bytes; 0 at the end of the file or on an error.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class SoundFileSystem {
public:
    virtual ~SoundFileSystem() = default;
    // True when a directory search finds the path.
    virtual bool FileExists(const std::string& path) = 0;
    // The short (8.3) form of an existing path; false when there is none.
    virtual bool GetShortPath(const std::string& path, std::string& shortPath) = 0;
    // Null when the file cannot be opened (missing, locked, a folder).
    virtual std::unique_ptr<ByteStream> OpenForReading(const std::string& path) = 0;
    // Play lists are written in the system's ANSI code page.
    virtual std::string AnsiToUtf8(const std::string& bytes) = 0;
};

// What one board window's sound needs, borrowed from its owner.
struct SoundServices {
    MciCommandSink& mci;
    WaveSink& wave;
    SoundFileSystem& files;
    RandomSource& random;
};
