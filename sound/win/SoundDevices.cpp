#include "sound/win/SoundDevices.h"

#include <mmsystem.h>

#include "platform/Text.h"

namespace {

// The length MCI is told for a reply: one short of the buffer.
constexpr UINT kReplyLength = 127;

} // namespace

std::uint32_t MciStringSink::SendCommand(const std::string& command, std::string* reply,
                                         bool notify)
{
    if (reply)
        reply->clear();
    const std::wstring wide = Widen(command);
    wchar_t buffer[kReplyLength + 1] = {};
    const MCIERROR error = mciSendStringW(wide.c_str(), reply ? buffer : nullptr,
                                          reply ? kReplyLength : 0,
                                          notify ? m_callback : nullptr);
    if (reply && error == 0) {
        buffer[kReplyLength] = L'\0';
        *reply = Narrow(buffer);
    }
    return error;
}

void SndPlaySoundSink::PlayAsync(const std::string& path)
{
    std::wstring wide;
    if (WidePath(path, wide))
        sndPlaySoundW(wide.c_str(), SND_ASYNC | SND_NODEFAULT);
}

PlayListPosition& ProgramPlayListPosition()
{
    static PlayListPosition position;
    return position;
}
