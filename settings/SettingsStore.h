#pragma once
#include <cstddef>
#include <string>

#include "base/Files.h"
#include "base/Registry.h"
#include "base/Settings.h"

// Under HKEY_CURRENT_USER.
extern const char kSystemKeyPath[];     // "Software\Tamsk soft\VelomaSS\System"
extern const char kSoundKeyPath[];      // "Software\Tamsk soft\VelomaSS\Sound"
extern const char kDesktopKeyPath[];    // "Control Panel\desktop"

// The longest text the store writes or reads, in UTF-16 units as Windows
// counts them: the path limit, which covers every box that feeds a stored
// text. Only a longer value, made by hand, reads as missing.
constexpr std::size_t kMaxStoredTextChars = 32767;

// One value. A value that is missing, not text, or too long gives the default.
std::string ReadRegString(RegistryKey& key, const std::string& name, const std::string& defaultText);
long ReadRegLong(RegistryKey& key, const std::string& name, long defaultValue);
// 1 for a non-zero number, 0 for zero, the default unchanged when unreadable.
int ReadRegBool(RegistryKey& key, const std::string& name, int defaultValue);
// A text that could not be read back is not written.
void WriteRegString(RegistryKey& key, const std::string& name, const std::string& text);
void WriteRegLong(RegistryKey& key, const std::string& name, long value);

// Every field from the System and Sound keys (created empty when absent),
// starting from the defaults, without the path checks. `bcColText` receives
// the stored "BCCol" text ("000000" by default) that BCCol was read from.
void ReadStoredSettings(Settings& settings, std::string& bcColText, RegistryRoot& registry);

// The current directory followed by "\velomass.bmp", joined as it is, so a
// drive root gives "C:\\velomass.bmp".
std::string DefaultBitmapPath(FileSystem& files);

// A Bitmap that leaves the choice of pictures to us: empty or the bare
// default name "velomass.bmp" (in any case).
bool IsDefaultBitmap(const std::string& bitmap);

// A missing Bitmap of the user's becomes the default path; a missing default
// stays the bare default name, which FindPieceImage resolves. Missing MIDI,
// Select and Disappear files are cleared.
void CheckSettingsPaths(Settings& settings, FileSystem& files);

// Under HKEY_LOCAL_MACHINE, in the registry view of the saver's bitness: the
// folder the installer put our piece image in, value "InstallDir".
extern const char kInstallKeyPath[];  // "Software\Tamsk soft\VelomaSS"
std::string ReadInstallFolder(RegistryRoot& machine);

// Folders besides the current one where our own piece image may lie;
// empty when unknown.
struct PieceImagePlaces {
    std::string saverFolder;    // the folder of the running program
    std::string installFolder;  // what the installer recorded
};

// Where the pictures for a Bitmap come from. A Bitmap of the user's is
// loaded as it is, found or not. For the default, the first of the
// current folder, the saver's folder and the install folder that holds
// "velomass.bmp"; failing all three, the image built into the program.
struct PieceImageSource {
    bool builtIn = false;
    std::string path;  // when not built in
};
PieceImageSource FindPieceImage(const std::string& bitmap, const PieceImagePlaces& places, FileSystem& files);

// What every board window runs before loading its bitmap.
void ReadSettings(Settings& settings, RegistryRoot& registry, FileSystem& files);

// Writes every field but PassWord; "BCCol" gets `bcColText`. A key that
// cannot be opened is skipped.
void SaveSettings(const Settings& settings, const std::string& bcColText, RegistryRoot& registry);

// Stores "PassWord" in the System key; false when nothing was stored (the
// key cannot be opened or the text is too long), so the old one stays.
bool SavePassword(RegistryRoot& registry, const std::string& password);

// The two desktop settings a screen saver honours.
struct DesktopSaverValues {
    bool UsePassword = false;   // "ScreenSaveUsePassword"
    long LowPowerMinutes = 0;   // 0 when low power is off, unset or not positive
};

// Reads "Control Panel\desktop" without creating it. "ScreenSaveUsePassword"
// counts by its number when it is text ("0"/"1", as Windows stores it) and by
// its first byte otherwise.
DesktopSaverValues ReadDesktopValues(RegistryRoot& registry);
