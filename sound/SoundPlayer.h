#pragma once
#include <cstdint>
#include <string>

#include "base/Settings.h"
#include "sound/PlayList.h"
#include "sound/SoundServices.h"

// The board window's completion message and the code of a normal end.
constexpr unsigned kMmMciNotify = 0x3B9;
constexpr std::uintptr_t kMciNotifySuccessful = 1;

// The form of a path that goes into a command string: its short form, in
// double quotes when that still has a blank (8.3 names switched off).
// False when there is no short form; then no command names the file.
bool ShortPath(FileSystem& files, const std::string& path, std::string& form);

// The sounds of one board window: wave effects, the looping MIDI piece and
// the play list it came from, as its settings (MIDI, BGM, Sound,
// BGMRandomPlay) ask. Every failure is silent.
class SoundPlayer {
public:
    // The position in order is borrowed: players that share one go on
    // from each other's last entry.
    SoundPlayer(const SoundServices& services, PlayListPosition& position)
        : m_services(services), m_position(position)
    {
    }
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Opens the sequencer on the file: the path itself on success, else "".
    // A device this player still holds is closed first.
    std::string OpenMidi(const std::string& path);
    // Plays the opened file from its start, asking for a completion notice.
    // The file the device was opened on goes by the name it was opened
    // with, even when the file has gone since.
    void PlayMidi(const std::string& path);
    void CloseMidi(const std::string& path);
    // The device's mode in words ("playing", "paused", ...); "" on failure.
    std::string GetMidiMode(const std::string& path);

    // Takes the settings; a new MIDI becomes the music in use.
    void Apply(const Settings& settings);
    // The file (or play list) the music plays now.
    const std::string& Midi() const { return m_midi; }

    // On: starts MIDI, a file or a play list, expecting the music stopped.
    // Off: stops it and puts a play list back into MIDI for the next start.
    void StartMusic(bool on);

    // The piece that played before, from its start, without asking the
    // play list again (waking from a black-out).
    void Restart();

    // The board window passes the wParam of every MM_MCINOTIFY here. After
    // a piece that ended normally a single file starts again and a play
    // list moves on; a close or a new play changes nothing.
    void OnMciNotify(std::uintptr_t code);

    // Plays a wave file asynchronously while Sound is on.
    void PlayWave(const std::string& path);

    // Takes `file` as the list in use, counts its entries and notes its
    // folder; no list when it cannot be read.
    void ScanPlayList(const std::string& file);
    const PlayList& List() const { return m_list; }
    // The full path of the next entry in order (wrapping after the last) or
    // of a random one, "" when there is none or it names no existing file.
    // Reset starts over; without it a random pick is not the entry last
    // chosen.
    std::string NextPlayListEntry(bool reset);

private:
    bool DeviceName(const std::string& path, std::string& name);

    Settings m_settings;
    bool m_configured = false;
    std::string m_midi;
    SoundServices m_services;
    PlayListPosition& m_position;
    PlayList m_list;
    std::string m_openPath;    // the file the device is open on
    std::string m_deviceName;  // the name it was opened with
};
