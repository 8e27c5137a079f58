#pragma once
#include <windows.h>

#include "platform/Files.h"
#include "sound/PlayList.h"
#include "sound/SoundServices.h"

// Command strings through mciSendStringW. A command sent with notify reports
// its end to the callback window as MM_MCINOTIFY.
class MciStringSink : public MciCommandSink {
public:
    explicit MciStringSink(HWND callback = nullptr) : m_callback(callback) {}
    void SetCallbackWindow(HWND callback) { m_callback = callback; }

    std::uint32_t SendCommand(const std::string& command, std::string* reply,
                              bool notify) override;

private:
    HWND m_callback;
};

// Waves through sndPlaySoundW, asynchronously. A missing file stays silent
// instead of sounding the system's default beep.
class SndPlaySoundSink : public WaveSink {
public:
    void PlayAsync(const std::string& path) override;
};

// The position in order of the program's play lists, one for all its boards.
PlayListPosition& ProgramPlayListPosition();

// The Win32 side of one board window's sound. Set the callback window
// once the window exists.
struct Win32SoundDevices {
    MciStringSink mci;
    SndPlaySoundSink wave;
    WinFileSystem files;
};
