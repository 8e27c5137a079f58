#include "sound/SoundPlayer.h"

#include <climits>

#include "base/ValueForms.h"

namespace {

constexpr int kMaxSkippedEntries = 16;

} // namespace

bool ShortPath(FileSystem& files, const std::string& path, std::string& form)
{
    form.clear();
    std::string shortPath;
    if (!files.ShortPath(path, shortPath) || shortPath.empty())
        return false;
    if (shortPath.find(' ') != std::string::npos)
        form = '"' + shortPath + '"';
    else
        form = shortPath;
    return true;
}

bool SoundPlayer::DeviceName(const std::string& path, std::string& name)
{
    if (path.empty())
        return false;
    if (!m_deviceName.empty() && path == m_openPath) {
        name = m_deviceName;
        return true;
    }
    return ShortPath(m_services.files, path, name);
}

std::string SoundPlayer::OpenMidi(const std::string& path)
{
    if (!m_deviceName.empty())
        CloseMidi(m_openPath);
    std::string form;
    if (path.empty() || !ShortPath(m_services.files, path, form))
        return std::string();
    if (m_services.mci.SendCommand("open " + form + " type sequencer", nullptr, false) != 0)
        return std::string();
    m_openPath = path;
    m_deviceName = form;
    return path;
}

void SoundPlayer::PlayMidi(const std::string& path)
{
    std::string name;
    if (DeviceName(path, name))
        m_services.mci.SendCommand("play " + name + " from 0 notify", nullptr, true);
}

void SoundPlayer::CloseMidi(const std::string& path)
{
    std::string name;
    if (!DeviceName(path, name))
        return;
    m_services.mci.SendCommand("close " + name, nullptr, false);
    if (name == m_deviceName) {
        m_openPath.clear();
        m_deviceName.clear();
    }
}

std::string SoundPlayer::GetMidiMode(const std::string& path)
{
    std::string name, reply;
    if (!DeviceName(path, name) || m_services.mci.SendCommand("status " + name + " mode", &reply, false) != 0)
        return std::string();
    return reply;
}

void SoundPlayer::Apply(const Settings& settings)
{
    // The piece in use stays while the music setting is the same.
    if (!m_configured || settings.MIDI != m_settings.MIDI)
        m_midi = settings.MIDI;
    m_configured = true;
    m_settings = settings;
}

void SoundPlayer::StartMusic(bool on)
{
    std::string& midi = m_midi;
    if (!on) {
        CloseMidi(midi);
        if (!m_list.file.empty())
            midi = m_list.file;
        return;
    }
    LowerAscii(midi);
    if (IsPlayList(midi)) {
        ScanPlayList(midi);
        midi = NextPlayListEntry(true);
    } else {
        m_list = PlayList();
    }
    midi = OpenMidi(midi);
    PlayMidi(midi);
}

void SoundPlayer::Restart()
{
    m_midi = OpenMidi(m_midi);
    PlayMidi(m_midi);
}

void SoundPlayer::OnMciNotify(std::uintptr_t code)
{
    // Only a normal end restarts: a close, a black-out or a new play also
    // report, and must not bring back music that was stopped.
    std::string& midi = m_midi;
    if (!m_settings.BGM || code != kMciNotifySuccessful || GetMidiMode(midi) == "paused")
        return;
    if (m_list.file.empty()) {
        PlayMidi(midi);
        return;
    }
    // A list plays through: the next entry, or another one at random. A few
    // entries that cannot be played are passed over; each try reads the
    // list again, so a list of nothing but missing files cannot hold the
    // window up.
    CloseMidi(midi);
    midi.clear();
    const int tries = m_list.count < kMaxSkippedEntries ? m_list.count : kMaxSkippedEntries;
    for (int i = 0; i < tries && midi.empty(); ++i)
        midi = OpenMidi(NextPlayListEntry(false));
    PlayMidi(midi);
}

void SoundPlayer::PlayWave(const std::string& path)
{
    if (path.empty() || !m_settings.Sound)
        return;
    m_services.wave.PlayAsync(path);
}

void SoundPlayer::ScanPlayList(const std::string& file)
{
    m_list = PlayList();
    std::unique_ptr<ByteSource> stream;
    if (FileExists(m_services.files, file))
        stream = m_services.files.OpenForReading(file);
    if (!stream)
        return;
    m_list.file = file;
    ListLineReader reader(*stream);
    std::string line;
    while (reader.ReadLine(line)) {
        TrimTrailingSpace(line);
        if (!line.empty() && m_list.count < INT_MAX)
            ++m_list.count;
    }
    m_list.folder = ListDirectory(file);
}

std::string SoundPlayer::NextPlayListEntry(bool reset)
{
    if (!FileExists(m_services.files, m_list.file))
        return std::string();
    std::unique_ptr<ByteSource> stream = m_services.files.OpenForReading(m_list.file);
    if (!stream)
        return std::string();

    int& pos = m_position.entry;
    if (reset)
        pos = 0;
    if (m_settings.BGMRandomPlay && !reset && m_list.count > 1 && pos >= 1 && pos <= m_list.count) {
        // Another entry than the one that just ended.
        const int pick = Random(m_services.random, m_list.count - 1) + 1;
        pos = pick < pos ? pick : pick + 1;
    } else if (m_settings.BGMRandomPlay) {
        pos = Random(m_services.random, m_list.count) + 1;
    } else if (pos < INT_MAX) {
        ++pos;
    }
    // Past the last entry (or past another window's longer list) wraps.
    if (pos > m_list.count)
        pos = 1;
    if (m_list.count <= 0)
        return std::string();

    // The position counts entries, so blank lines are never chosen and
    // cannot push the last entries out of reach.
    ListLineReader reader(*stream);
    std::string line;
    int entries = 0;
    while (entries < pos && reader.ReadLine(line)) {
        TrimTrailingSpace(line);
        if (!line.empty())
            ++entries;
    }
    if (entries < pos)
        return std::string();
    stream.reset();

    std::string path = m_list.folder + m_services.files.AnsiToUtf8(line);
    TrimTrailingSpace(path);
    return FileExists(m_services.files, path) ? path : std::string();
}
