#include "UserOpts.h"

#include <windows.h>

#include <vector>

#include "LocaleInfo.h"
#include "NumText.h"
#include "ZStrFuncs.h"
#include "ps_common.h"

namespace {

// Sections relative to the settings key; "" is the settings key itself.
const std::string kMain;
const std::string kDetails = "Details";
const std::string kHistory = "Computer history";

// The directory of the running program file, with its trailing backslash.
std::string ProgramDirectory()
{
    // The path may exceed MAX_PATH; a full buffer means it was cut off.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            const std::string path(buffer.data(), length);
            const auto slash = path.find_last_of("\\:");
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

TUserOptions::TUserOptions()
{
    SetDefaults();
    try {
        Registry = std::make_unique<TRegIniFileEx>(kSettingsKey);
    } catch (const ERegistryException& e) {
        FOpenError = e.what();
    }
    // Without its own key, sections would resolve against the bare root and
    // the settings would land directly in HKEY_CURRENT_USER.
    if (Registry && Registry->CurrentKey() == nullptr) {
        Registry.reset();
        FOpenError = std::string("Failed to create key ") + kSettingsKey;
    }
}

TUserOptions::~TUserOptions() = default;

template <typename T, typename Read> T TUserOptions::Guarded(T fallback, Read read)
{
    try {
        return read();
    } catch (const ERegistryException& e) {
        LoadErrors.Add(e.what());
        return fallback;
    }
}

int TUserOptions::ReadIntegerSetting(const std::string& section, const std::string& name,
                                     int fallback)
{
    return Guarded(fallback, [&] {
        return StrToIntDef(Registry->ReadString(section, name, std::string()), fallback);
    });
}

std::string TUserOptions::ReadStringSetting(const std::string& section, const std::string& name,
                                            const std::string& fallback)
{
    return Guarded(fallback, [&] { return Registry->ReadString(section, name, fallback); });
}

bool TUserOptions::ReadFlagSetting(const std::string& name, bool fallback)
{
    return Guarded(fallback, [&] { return Registry->ReadBoolean(kMain, name, fallback); });
}

// Older settings hold these two flags as the text "0" or "1": a REG_DWORD
// first, then the integer text, and true for any other type.
bool TUserOptions::ReadBarFlag(const std::string& name)
{
    try {
        if (Registry->GetDataType(name) == TRegDataType::rdInteger)
            return Registry->ReadInteger(name) != 0;
    } catch (const ERegistryException&) {
    }
    try {
        return StrToIntDef(Registry->ReadString(kMain, name, std::string()), 1) != 0;
    } catch (const ERegistryException&) {
        return true;
    }
}

void TUserOptions::WriteIntegerSetting(const std::string& section, const std::string& name,
                                       int value)
{
    Registry->WriteString(section, name, std::to_string(value));
}

void TUserOptions::SetDefaults()
{
    const TFormatSettings& locale = LocaleFormatSettings();
    Left = 100;
    Top = 100;
    Width = 500;
    Height = 300;
    Toolbar = true;
    Statusbar = true;
    ListTimeFormat = DefaultListPattern(locale);
    DetailTimeFormat = DefaultDetailPattern(locale);
    DefaultText = kDefaultUnknownText;
    OpenKBCommand = kDefaultOpenKBCommand;
    ColumnSep = 0;
    HistoryMaxSize = 20;
    ComputerHistory.Clear();
    VersionInfoExtensions.Clear();
    VersionInfoExtensions.SplitString(',', kDefaultExtensions);
    DisplayKilobytes = false;
    DisplayMegabytes = false;
    ByteThreshold = 10240;
    KiloByteThreshold = 8192;
    ViewIcons = true;
    Maximized = false;
    UseCache = true;
    UseIdle = false;
    SaveAsDirectory = AddBackslash(ProgramDirectory(), AnsiLeadByte);
}

void TUserOptions::Load()
{
    LoadErrors.Clear();
    SetDefaults();
    if (!Registry) {
        LoadErrors.Add(FOpenError);
        return;
    }
    ReadWindowSettings();
    ReadTextSettings();
    ReadHistory();
    ReadDetailSettings();
}

void TUserOptions::ReadWindowSettings()
{
    Left = ReadIntegerSetting(kMain, "Left", Left);
    Top = ReadIntegerSetting(kMain, "Top", Top);
    Width = ReadIntegerSetting(kMain, "Width", Width);
    Height = ReadIntegerSetting(kMain, "Height", Height);
    Toolbar = ReadBarFlag("Toolbar");
    Statusbar = ReadBarFlag("Statusbar");
}

void TUserOptions::ReadTextSettings()
{
    // The console program reads the list's two values through the same code.
    ListTimeFormat = Guarded(ListTimeFormat,
                             [&] { return ReadListTimeFormat(*Registry, LocaleFormatSettings()); });
    DetailTimeFormat = ReadStringSetting(kDetails, "Time format", DetailTimeFormat);
    DefaultText = Guarded(DefaultText, [&] { return ReadDefaultText(*Registry); });
    OpenKBCommand = ReadStringSetting(kMain, "Open KB article command", OpenKBCommand);
    ColumnSep = ReadIntegerSetting(kMain, "Column separation", ColumnSep);
}

// At most HistoryMaxSize entries, up to the first missing or empty value;
// later values are left-overs of a "Maximum size" lowered by hand. An entry
// of the wrong type ends the history like a gap.
void TUserOptions::ReadHistory()
{
    HistoryMaxSize = ReadIntegerSetting(kHistory, "Maximum size", HistoryMaxSize);
    ComputerHistory.Clear();
    for (int i = 0; i < HistoryMaxSize; ++i) {
        const std::string name =
            ReadStringSetting(kHistory, std::to_string(i), std::string());
        if (name.empty())
            break;
        ComputerHistory.Add(name);
    }
}

void TUserOptions::ReadDetailSettings()
{
    const std::string extensions = ReadStringSetting(
        kMain, "File extensions scanned for versioninfo", kDefaultExtensions);
    VersionInfoExtensions.Clear();
    VersionInfoExtensions.SplitString(',', extensions);

    DisplayKilobytes = ReadFlagSetting("Display kilobytes", DisplayKilobytes);
    DisplayMegabytes = ReadFlagSetting("Display megabytes", DisplayMegabytes);
    ByteThreshold = ReadIntegerSetting(kMain, "Byte threshold", ByteThreshold);
    KiloByteThreshold = ReadIntegerSetting(kMain, "Kilobyte threshold", KiloByteThreshold);
    ViewIcons = ReadFlagSetting("Show detail window icons", ViewIcons);
    Maximized = ReadFlagSetting("Maximized", Maximized);
    UseCache = ReadFlagSetting("Use caching for directory listings", UseCache);
    UseIdle = ReadFlagSetting("Idle priority when scanning directories", UseIdle);
    SaveAsDirectory = AddBackslash(
        ReadStringSetting(kMain, "Save As directory", SaveAsDirectory), AnsiLeadByte);
}

void TUserOptions::Save()
{
    if (!Registry)
        return;
    if (!Maximized) {
        WriteIntegerSetting(kMain, "Left", Left);
        WriteIntegerSetting(kMain, "Top", Top);
        WriteIntegerSetting(kMain, "Width", Width);
        WriteIntegerSetting(kMain, "Height", Height);
    }
    Registry->WriteBoolean(kMain, "Toolbar", Toolbar);
    Registry->WriteBoolean(kMain, "Statusbar", Statusbar);
    WriteTextSettings();
    WriteHistory();
    WriteDetailSettings();
}

void TUserOptions::WriteTextSettings()
{
    Registry->WriteString(kMain, "Time format", ListTimeFormat);
    Registry->WriteString(kDetails, "Time format", DetailTimeFormat);
    Registry->WriteString(kMain, "Text if unknown value", DefaultText);
    Registry->WriteString(kMain, "Open KB article command", OpenKBCommand);
    WriteIntegerSetting(kMain, "Column separation", ColumnSep);
}

// Values beyond the current count stay as they are: the history only shrinks
// when "Maximum size" is lowered by hand, and loading stops before them.
void TUserOptions::WriteHistory()
{
    for (int i = 0; i < ComputerHistory.Count(); ++i)
        Registry->WriteString(kHistory, std::to_string(i), ComputerHistory[i]);
}

void TUserOptions::WriteDetailSettings()
{
    Registry->WriteBoolean(kMain, "Display kilobytes", DisplayKilobytes);
    Registry->WriteBoolean(kMain, "Display megabytes", DisplayMegabytes);
    WriteIntegerSetting(kMain, "Byte threshold", ByteThreshold);
    WriteIntegerSetting(kMain, "Kilobyte threshold", KiloByteThreshold);
    Registry->WriteBoolean(kMain, "Show detail window icons", ViewIcons);
    Registry->WriteBoolean(kMain, "Maximized", Maximized);
    Registry->WriteBoolean(kMain, "Use caching for directory listings", UseCache);
    Registry->WriteBoolean(kMain, "Idle priority when scanning directories", UseIdle);
    Registry->WriteString(kMain, "Save As directory", SaveAsDirectory);
}
