#include "settings/SettingsStore.h"

#include "base/ValueForms.h"

#include <utility>
#include <vector>

const char kSystemKeyPath[] = "Software\\Tamsk soft\\VelomaSS\\System";
const char kSoundKeyPath[] = "Software\\Tamsk soft\\VelomaSS\\Sound";
const char kDesktopKeyPath[] = "Control Panel\\desktop";

namespace {

const char kBitmapFileName[] = "velomass.bmp";
const char kBlackText[] = "000000";

// The length of a UTF-8 text in UTF-16 units.
std::size_t Utf16Length(const std::string& utf8)
{
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            ++units;  // a character starts here
        if ((byte & 0xF8) == 0xF0)
            ++units;  // four bytes: a surrogate pair
    }
    return units;
}

bool Storable(const std::string& text)
{
    return Utf16Length(text) <= kMaxStoredTextChars;
}

bool ReadText(RegistryKey& key, const std::string& name, std::string& text)
{
    std::string stored;
    if (key.QueryText(name, stored) != RegValueType::Text || !Storable(stored))
        return false;
    text = std::move(stored);
    return true;
}

long Flag(int value)
{
    return value != 0 ? 1 : 0;
}

} // namespace

std::string ReadRegString(RegistryKey& key, const std::string& name, const std::string& defaultText)
{
    std::string text;
    return ReadText(key, name, text) ? text : defaultText;
}

long ReadRegLong(RegistryKey& key, const std::string& name, long defaultValue)
{
    std::string text;
    return ReadText(key, name, text) ? DecimalToLong(text) : defaultValue;
}

int ReadRegBool(RegistryKey& key, const std::string& name, int defaultValue)
{
    std::string text;
    return ReadText(key, name, text) ? (DecimalToLong(text) != 0 ? 1 : 0) : defaultValue;
}

void WriteRegString(RegistryKey& key, const std::string& name, const std::string& text)
{
    if (Storable(text))
        key.SetText(name, text);
}

void WriteRegLong(RegistryKey& key, const std::string& name, long value)
{
    key.SetText(name, LongToDecimal(value));
}

void ReadStoredSettings(Settings& settings, std::string& bcColText, RegistryRoot& registry)
{
    settings = Settings();
    bcColText = kBlackText;

    if (auto key = registry.CreateKey(kSystemKeyPath, RegAccess::Read)) {
        Settings& s = settings;
        s.Bitmap = ReadRegString(*key, "Bitmap", s.Bitmap);
        s.AnimIntrvl = static_cast<int>(ReadRegLong(*key, "AnimIntrvl", s.AnimIntrvl));
        s.BlackOutTime = static_cast<int>(ReadRegLong(*key, "BlackOutTime", s.BlackOutTime));
        s.AnimBMPOption = ReadRegBool(*key, "AnimBMPOption", s.AnimBMPOption);
        s.CellSize = static_cast<int>(ReadRegLong(*key, "CellSize", s.CellSize));
        s.CellArr = static_cast<int>(ReadRegLong(*key, "CellArr", s.CellArr));
        s.CellNo = static_cast<int>(ReadRegLong(*key, "CellNo", s.CellNo));
        s.PassWord = ReadRegString(*key, "PassWord", s.PassWord);
        s.BlankOption = ReadRegBool(*key, "BlankOption", s.BlankOption);
        s.DoviOption = ReadRegBool(*key, "DoviOption", s.DoviOption);
        bcColText = ReadRegString(*key, "BCCol", kBlackText);
        s.BCCol = HexToLong(bcColText);
    }

    if (auto key = registry.CreateKey(kSoundKeyPath, RegAccess::Read)) {
        Settings& s = settings;
        s.MIDI = ReadRegString(*key, "MIDI", s.MIDI);
        s.Select = ReadRegString(*key, "Select", s.Select);
        s.Disappear = ReadRegString(*key, "Disappear", s.Disappear);
        s.BGM = ReadRegBool(*key, "BGM", s.BGM);
        s.BGMRandomPlay = ReadRegBool(*key, "BGMRandomPlay", s.BGMRandomPlay);
        s.Sound = ReadRegBool(*key, "Sound", s.Sound);
    }
}

std::string DefaultBitmapPath(FileSystem& files)
{
    return files.CurrentDirectory() + "\\" + kBitmapFileName;
}

bool IsDefaultBitmap(const std::string& bitmap)
{
    std::string name = bitmap;
    LowerAscii(name);
    return name.empty() || name == kBitmapFileName;
}

void CheckSettingsPaths(Settings& settings, FileSystem& files)
{
    // The default path is not checked: a missing default file shows when
    // the bitmap is loaded.
    if (!FileExists(files, settings.Bitmap))
        settings.Bitmap = IsDefaultBitmap(settings.Bitmap) ? kBitmapFileName : DefaultBitmapPath(files);
    for (std::string* path : {&settings.MIDI, &settings.Select, &settings.Disappear}) {
        if (!FileExists(files, *path))
            path->clear();
    }
}

const char kInstallKeyPath[] = "Software\\Tamsk soft\\VelomaSS";

std::string ReadInstallFolder(RegistryRoot& machine)
{
    auto key = machine.OpenKey(kInstallKeyPath, RegAccess::Read);
    return key ? ReadRegString(*key, "InstallDir", std::string()) : std::string();
}

PieceImageSource FindPieceImage(const std::string& bitmap, const PieceImagePlaces& places, FileSystem& files)
{
    PieceImageSource source;
    if (!IsDefaultBitmap(bitmap)) {
        source.path = bitmap;
        return source;
    }
    source.path = DefaultBitmapPath(files);
    if (FileExists(files, source.path))
        return source;
    for (std::string folder : {places.saverFolder, places.installFolder}) {
        while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
            folder.pop_back();
        if (folder.empty())
            continue;
        source.path = folder + "\\" + kBitmapFileName;
        if (FileExists(files, source.path))
            return source;
    }
    source.builtIn = true;
    source.path.clear();
    return source;
}

void ReadSettings(Settings& settings, RegistryRoot& registry, FileSystem& files)
{
    std::string bcColText;
    ReadStoredSettings(settings, bcColText, registry);
    CheckSettingsPaths(settings, files);
}

void SaveSettings(const Settings& s, const std::string& bcColText, RegistryRoot& registry)
{
    if (auto key = registry.CreateKey(kSystemKeyPath, RegAccess::Write)) {
        WriteRegString(*key, "Bitmap", s.Bitmap);
        WriteRegLong(*key, "AnimIntrvl", s.AnimIntrvl);
        WriteRegLong(*key, "BlackOutTime", s.BlackOutTime);
        WriteRegLong(*key, "AnimBMPOption", Flag(s.AnimBMPOption));
        WriteRegLong(*key, "CellSize", s.CellSize);
        WriteRegLong(*key, "CellArr", s.CellArr);
        WriteRegLong(*key, "CellNo", s.CellNo);
        WriteRegLong(*key, "BlankOption", Flag(s.BlankOption));
        WriteRegLong(*key, "DoviOption", Flag(s.DoviOption));
        WriteRegString(*key, "BCCol", bcColText);
    }
    if (auto key = registry.CreateKey(kSoundKeyPath, RegAccess::Write)) {
        WriteRegString(*key, "MIDI", s.MIDI);
        WriteRegString(*key, "Select", s.Select);
        WriteRegString(*key, "Disappear", s.Disappear);
        WriteRegLong(*key, "BGM", Flag(s.BGM));
        WriteRegLong(*key, "Sound", Flag(s.Sound));
        WriteRegLong(*key, "BGMRandomPlay", Flag(s.BGMRandomPlay));
    }
}

bool SavePassword(RegistryRoot& registry, const std::string& password)
{
    if (!Storable(password))
        return false;
    auto key = registry.CreateKey(kSystemKeyPath, RegAccess::Write);
    if (!key)
        return false;
    WriteRegString(*key, "PassWord", password);
    return true;
}

DesktopSaverValues ReadDesktopValues(RegistryRoot& registry)
{
    DesktopSaverValues values;
    auto key = registry.OpenKey(kDesktopKeyPath, RegAccess::Read);
    if (!key)
        return values;

    std::string text;
    switch (key->QueryText("ScreenSaveUsePassword", text)) {
    case RegValueType::Text:
        values.UsePassword = ReadRegLong(*key, "ScreenSaveUsePassword", 0) != 0;
        break;
    case RegValueType::Other: {
        std::vector<unsigned char> bytes;
        if (key->QueryBytes("ScreenSaveUsePassword", 4, bytes) != RegValueType::Missing)
            values.UsePassword = !bytes.empty() && bytes[0] != 0;
        break;
    }
    case RegValueType::Missing:
        break;
    }

    if (ReadRegLong(*key, "ScreenSaveLowPowerActive", 0) != 0) {
        const long minutes = ReadRegLong(*key, "ScreenSaveLowPowerTimeOut", 0) / 60;
        // A negative time-out is no limit rather than a negative black-out time.
        values.LowPowerMinutes = minutes > 0 ? minutes : 0;
    }
    return values;
}
