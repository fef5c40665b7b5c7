#pragma once
// The per-user settings of the windowed program, kept in the settings key
// HKEY_CURRENT_USER\Software\Brightwater\Patchscope and its subkeys "Details"
// and "Computer history". The main window owns the one object of a run.
#include <memory>
#include <string>

#include "RegistryEx.h"
#include "SplitLst.h"

class TUserOptions {
public:
    // Opens the settings key, creating it when missing; reads nothing.
    TUserOptions();
    // Closes the key; does not save.
    ~TUserOptions();
    TUserOptions(const TUserOptions&) = delete;
    TUserOptions& operator=(const TUserOptions&) = delete;

    // Every field from the registry; a missing value gives its default. A value
    // of a type that cannot be read leaves that field at its default, the
    // others still load, and the registry layer's message goes to LoadErrors.
    // Never raises ERegistryException.
    void Load();
    // Every field except HistoryMaxSize and VersionInfoExtensions. The window
    // bounds only while not Maximized, so that the normal bounds survive a
    // maximized run. A failed write raises ERegistryException and ends the
    // save there. Without a settings key nothing is written.
    void Save();

    // Whether the settings key could be opened or created at construction.
    bool KeyOpen() const { return Registry != nullptr; }

    // The defaults stand until the first Load (see SetDefaults).
    int Left;
    int Top;
    int Width;
    int Height;
    bool Toolbar;
    bool Statusbar;
    std::string ListTimeFormat;      // short date and short time of the locale
    std::string DetailTimeFormat;    // long date and short time of the locale
    std::string DefaultText;
    std::string OpenKBCommand;       // three %s, for pieces of the article number
    int ColumnSep;                   // text export: 0 tab, 1 spaces, 2 semicolon, 3 comma
    int HistoryMaxSize;              // read only
    TStringList ComputerHistory;     // names without backslashes, most recent first
    TSplitStringList VersionInfoExtensions;   // read only
    bool DisplayKilobytes;
    bool DisplayMegabytes;
    int ByteThreshold;
    int KiloByteThreshold;
    // Open on the settings key from construction to destruction; null when
    // that key could be neither opened nor created.
    std::unique_ptr<TRegIniFileEx> Registry;
    bool ViewIcons;
    bool Maximized;
    bool UseCache;
    bool UseIdle;
    std::string SaveAsDirectory;     // with a trailing backslash unless empty

    // The registry errors of the last Load, in reading order, for the main
    // window to show through its general error report once it is up.
    TStringList LoadErrors;

    static constexpr const char* kDefaultOpenKBCommand =
        "http://support.microsoft.com/support/kb/articles/q%s/%s/%s.asp";
    static constexpr const char* kDefaultExtensions = "exe,dll,sys,cpl,com";

private:
    void SetDefaults();
    void ReadWindowSettings();
    void ReadTextSettings();
    void ReadHistory();
    void ReadDetailSettings();
    void WriteTextSettings();
    void WriteHistory();
    void WriteDetailSettings();

    // Runs one read; a registry error is recorded and leaves Fallback.
    template <typename T, typename Read> T Guarded(T fallback, Read read);
    int ReadIntegerSetting(const std::string& section, const std::string& name, int fallback);
    std::string ReadStringSetting(const std::string& section, const std::string& name,
                                  const std::string& fallback);
    bool ReadFlagSetting(const std::string& name, bool fallback);
    bool ReadBarFlag(const std::string& name);
    void WriteIntegerSetting(const std::string& section, const std::string& name, int value);

    std::string FOpenError;   // why the settings key is not open, for LoadErrors
};
