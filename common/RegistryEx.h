#pragma once
// Registry access of both programs: a registry object with a root and one
// current key (TRegistry), sections relative to it (TRegIniFile), and the
// extension with REG_DWORD booleans and REG_MULTI_SZ line lists
// (TRegIniFileEx). Every key is opened with KEY_ALL_ACCESS; a key that cannot
// be opened so counts as missing.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "SplitLst.h"

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

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

    HKEY CurrentKey() const { return FCurrentKey; }
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

protected:
    // Opens Section for the length of one call and gives its handle; the
    // empty section is the current key itself. nullptr when it cannot be opened.
    class SectionKey;

private:
    HKEY BaseKey(const std::string& path) const;
    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
    bool FCloseRootKey = false;
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
