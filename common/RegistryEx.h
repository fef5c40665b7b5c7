#pragma once
// Registry access of both programs: a registry object with a root and one
// current key (TRegistry), sections relative to it (TRegIniFile), and the
// extension with REG_DWORD booleans and REG_MULTI_SZ line lists
// (TRegIniFileEx). Every key is opened with KEY_ALL_ACCESS; a key that cannot
// be opened so counts as missing.
#include <windows.h>

#include <string>

#include "RegistrySource.h"
#include "SplitLst.h"

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// Owns one open registry key and closes it on destruction. Predefined root
// keys (HKEY_LOCAL_MACHINE ...) are never handed to it.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : FKey(key) {}
    ~RegKey() { Reset(); }
    RegKey(RegKey&& other) noexcept : FKey(other.Release()) {}
    RegKey& operator=(RegKey&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return FKey; }
    explicit operator bool() const { return FKey != nullptr; }
    HKEY Release()
    {
        HKEY key = FKey;
        FKey = nullptr;
        return key;
    }
    void Reset(HKEY key = nullptr)
    {
        if (FKey && !IsPredefined(FKey))
            RegCloseKey(FKey);
        FKey = key;
    }

private:
    // HKEY_CLASSES_ROOT ... HKEY_DYN_DATA belong to the system: opening an
    // empty path below one hands back the predefined handle itself.
    static bool IsPredefined(HKEY key)
    {
        const auto value = reinterpret_cast<ULONG_PTR>(key);
        const auto first = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
        return value >= first && value <= reinterpret_cast<ULONG_PTR>(HKEY_DYN_DATA);
    }
    HKEY FKey = nullptr;
};

class TRegistry {
public:
    TRegistry();   // root HKEY_CURRENT_USER, no key open
    virtual ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // A different root closes the current key, and the previous root when it
    // was a remote connection.
    void SetRootKey(HKEY root);
    // RegConnectRegistry with "\\NAME" and the current root; on success the
    // remote key becomes the root (closed by this object).
    bool RegistryConnect(const std::string& computerName);

    HKEY CurrentKey() const { return FCurrentKey.Get(); }
    const std::string& CurrentPath() const { return FCurrentPath; }
    // Relative to the current key, or from the root with a leading backslash.
    // On success the key becomes current; on failure nothing changes.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    void CreateKey(const std::string& key);        // raises "Failed to create key %s"
    bool DeleteKey(const std::string& key);        // with all subkeys; true when gone
    bool DeleteValue(const std::string& name);
    bool KeyExists(const std::string& key);

    void GetKeyNames(TStringList& names);          // cleared first; enumeration order
    void GetValueNames(TStringList& names);
    bool ValueExists(const std::string& name);
    int GetDataSize(const std::string& name);      // -1 when the value is missing
    TRegDataType GetDataType(const std::string& name);

    std::string ReadString(const std::string& name);   // REG_SZ / REG_EXPAND_SZ, up to its first NUL
    int ReadInteger(const std::string& name);          // REG_DWORD
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);
    // All of the value's data, whatever its type (empty when missing).
    std::string ReadRawData(const std::string& name, DWORD* type = nullptr);
    void WriteRawData(const std::string& name, DWORD type, const std::string& data);

    // The value of the current key in one query, whatever its size; false
    // when it does not exist. Other failures raise "Failed to get data for '%s'".
    bool ReadData(const std::string& name, TRegData& value);
    // What ReadString makes of a value's data (TextOfRegData): empty data
    // gives the empty text; text types end at their first NUL or at the end
    // of the data; every other type raises "Invalid data type for '%s'".
    static std::string TextOfData(const std::string& name, const TRegData& value)
    {
        return TextOfRegData(name, value);
    }

protected:
    // Opens a section for the length of one call and gives its handle; the
    // empty section is the current key itself (the root when none is open).
    class SectionKey {
    public:
        // Without CanCreate a key that cannot be opened gives a null handle;
        // with it, a key that cannot be created raises "Failed to create key %s".
        SectionKey(TRegistry& registry, const std::string& section, bool canCreate);
        HKEY Handle() const { return FHandle; }
        explicit operator bool() const { return FHandle != nullptr; }

    private:
        RegKey FOwned;
        HKEY FHandle = nullptr;
    };

    // The key a path starts from: the root for an absolute path or when no
    // key is open, otherwise the current key.
    HKEY BaseKey(bool relative) const;

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    RegKey FRemoteRoot;   // the root, when it is a remote connection
    RegKey FCurrentKey;
    std::string FCurrentPath;
};

class TRegIniFile : public TRegistry {
public:
    // Root HKEY_CURRENT_USER; FileName is opened, and created when missing.
    explicit TRegIniFile(const std::string& fileName);
    const std::string& FileName() const { return FFileName; }

    using TRegistry::ReadInteger;
    using TRegistry::ReadString;
    using TRegistry::WriteInteger;
    using TRegistry::WriteString;
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& fallback);
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);
    // Integers and booleans as decimal REG_SZ text ("0x.." and "$.." read as hex).
    int ReadInteger(const std::string& section, const std::string& ident, int fallback);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    bool ReadBool(const std::string& section, const std::string& ident, bool fallback);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

private:
    std::string FFileName;
};

class TRegIniFileEx : public TRegIniFile {
public:
    using TRegIniFile::TRegIniFile;
    // Booleans as REG_DWORD 1 / 0; any non-zero value reads as true.
    virtual bool ReadBoolean(const std::string& section, const std::string& ident, bool fallback);
    virtual void WriteBoolean(const std::string& section, const std::string& ident, bool value);
    // Line lists as REG_MULTI_SZ (see MultiString.h). ReadMultiString appends.
    void ReadMultiString(const std::string& section, const std::string& ident, TStringList& lines);
    void WriteMultiString(const std::string& section, const std::string& ident,
                          const TStringList& lines);
};
