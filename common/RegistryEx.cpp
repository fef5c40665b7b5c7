#include "RegistryEx.h"

#include <cstring>
#include <vector>

#include "MultiString.h"
#include "NumText.h"

namespace {

// A path with a leading backslash is taken from the root; the backslash is
// not part of the name handed to the platform.
struct TKeyPath {
    bool Relative;
    std::string Name;
};

TKeyPath SplitPath(const std::string& key)
{
    if (!key.empty() && key.front() == '\\')
        return {false, key.substr(1)};
    return {true, key};
}

static_assert(kRegNone == REG_NONE && kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ &&
              kRegBinary == REG_BINARY && kRegDword == REG_DWORD && kRegMultiSz == REG_MULTI_SZ);

[[noreturn]] void RaiseSetDataError(const std::string& name)
{
    throw ERegistryException("Failed to set data for '" + name + "'");
}

const BYTE* Bytes(const std::string& data)
{
    return reinterpret_cast<const BYTE*>(data.data());
}

// Most values are short; a first guess this large answers them in one query,
// and a longer one reports its size through ERROR_MORE_DATA.
constexpr DWORD kFirstGuess = 256;

// Reads a value whole in as few queries as it takes. The value may grow
// between two queries, hence the loop.
LONG QueryValue(HKEY key, const std::string& name, TRegData& value)
{
    value.Data.resize(kFirstGuess);
    for (;;) {
        DWORD size = static_cast<DWORD>(value.Data.size());
        DWORD type = REG_NONE;
        LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(value.Data.data()), &size);
        value.Type = type;
        if (rc == ERROR_MORE_DATA) {
            value.Data.resize(size > value.Data.size() ? size : value.Data.size() * 2);
            continue;
        }
        value.Data.resize(rc == ERROR_SUCCESS ? size : 0);
        return rc;
    }
}

bool ValueOf(HKEY key, const std::string& name, TRegData& value)
{
    LONG rc = QueryValue(key, name, value);
    if (rc == ERROR_FILE_NOT_FOUND)
        return false;
    if (rc != ERROR_SUCCESS)
        RaiseGetDataError(name);
    return true;
}

// Names of all subkeys (or values) of a key, in enumeration order. The name
// buffer grows when a name turns out longer than the key's reported maximum,
// e.g. because one was added meanwhile.
template <typename Enumerate>
void EnumerateNames(DWORD maxLength, TStringList& names, Enumerate enumerate)
{
    std::vector<char> buffer(maxLength + 1);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG rc = enumerate(index, buffer.data(), &length);
        if (rc == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != ERROR_SUCCESS)
            return;
        names.Add(std::string(buffer.data(), length));
        ++index;
    }
}

// Deletes Name below Parent after all of its subkeys, deepest first.
bool DeleteTree(HKEY parent, const std::string& name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        RegKey key(handle);
        DWORD maxLength = 0;
        if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr,
                             nullptr, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            TStringList children;
            EnumerateNames(maxLength, children, [&](DWORD index, char* buffer, DWORD* length) {
                return RegEnumKeyExA(key.Get(), index, buffer, length, nullptr, nullptr, nullptr,
                                     nullptr);
            });
            for (const std::string& child : children.Strings())
                DeleteTree(key.Get(), child);
        }
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

// ---------------------------------------------------------------------------
// TRegistry

TRegistry::TRegistry() = default;

TRegistry::~TRegistry()
{
    // The current key goes before the connection it may belong to.
    FCurrentKey.Reset();
    FRemoteRoot.Reset();
}

void TRegistry::SetRootKey(HKEY root)
{
    if (root == FRootKey)
        return;
    CloseKey();
    FRemoteRoot.Reset();
    FRootKey = root;
}

bool TRegistry::RegistryConnect(const std::string& computerName)
{
    CloseKey();
    HKEY remote = nullptr;
    if (RegConnectRegistryA(computerName.c_str(), FRootKey, &remote) != ERROR_SUCCESS)
        return false;
    // A connection to the own computer may hand back the predefined key
    // itself, which is nobody's to close.
    if (remote == FRootKey)
        return true;
    SetRootKey(remote);
    FRemoteRoot.Reset(remote);
    return true;
}

HKEY TRegistry::BaseKey(bool relative) const
{
    if (!FCurrentKey || !relative)
        return FRootKey;
    return FCurrentKey.Get();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    TKeyPath path = SplitPath(key);
    HKEY handle = nullptr;
    LONG rc;
    if (!canCreate || path.Name.empty())
        rc = RegOpenKeyExA(BaseKey(path.Relative), path.Name.c_str(), 0, KEY_ALL_ACCESS, &handle);
    else
        rc = RegCreateKeyExA(BaseKey(path.Relative), path.Name.c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    if (rc != ERROR_SUCCESS)
        return false;
    if (FCurrentKey && path.Relative && !FCurrentPath.empty())
        path.Name = FCurrentPath + "\\" + path.Name;
    FCurrentKey.Reset(handle);
    FCurrentPath = std::move(path.Name);
    return true;
}

void TRegistry::CloseKey()
{
    FCurrentKey.Reset();
    FCurrentPath.clear();
}

void TRegistry::CreateKey(const std::string& key)
{
    TKeyPath path = SplitPath(key);
    HKEY handle = nullptr;
    if (RegCreateKeyExA(BaseKey(path.Relative), path.Name.c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        throw ERegistryException("Failed to create key " + key);
    RegCloseKey(handle);
}

bool TRegistry::DeleteKey(const std::string& key)
{
    TKeyPath path = SplitPath(key);
    // An empty name would make the platform delete the base key itself.
    if (path.Name.empty())
        return false;
    return DeleteTree(BaseKey(path.Relative), path.Name);
}

bool TRegistry::DeleteValue(const std::string& name)
{
    return RegDeleteValueA(BaseKey(true), name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& key)
{
    TKeyPath path = SplitPath(key);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(BaseKey(path.Relative), path.Name.c_str(), 0, KEY_ALL_ACCESS, &handle) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

void TRegistry::GetKeyNames(TStringList& names)
{
    names.Clear();
    HKEY key = BaseKey(true);
    DWORD maxLength = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxLength, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    EnumerateNames(maxLength, names, [key](DWORD index, char* buffer, DWORD* length) {
        return RegEnumKeyExA(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

void TRegistry::GetValueNames(TStringList& names)
{
    names.Clear();
    HKEY key = BaseKey(true);
    DWORD maxLength = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &maxLength, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    EnumerateNames(maxLength, names, [key](DWORD index, char* buffer, DWORD* length) {
        return RegEnumValueA(key, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
}

bool TRegistry::ValueExists(const std::string& name)
{
    return RegQueryValueExA(BaseKey(true), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

int TRegistry::GetDataSize(const std::string& name)
{
    DWORD size = 0;
    if (RegQueryValueExA(BaseKey(true), name.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

TRegDataType TRegistry::GetDataType(const std::string& name)
{
    DWORD type = REG_NONE;
    if (RegQueryValueExA(BaseKey(true), name.c_str(), nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return TRegDataType::rdUnknown;
    switch (type) {
    case REG_SZ: return TRegDataType::rdString;
    case REG_EXPAND_SZ: return TRegDataType::rdExpandString;
    case REG_DWORD: return TRegDataType::rdInteger;
    case REG_BINARY: return TRegDataType::rdBinary;
    default: return TRegDataType::rdUnknown;
    }
}

bool TRegistry::ReadData(const std::string& name, TRegData& value)
{
    return ValueOf(BaseKey(true), name, value);
}

std::string TRegistry::ReadString(const std::string& name)
{
    TRegData value;
    if (!ReadData(name, value))
        return {};
    return TextOfData(name, value);
}

int TRegistry::ReadInteger(const std::string& name)
{
    TRegData value;
    if (!ReadData(name, value))
        RaiseGetDataError(name);
    return IntegerOfRegData(name, value);
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    // The data ends with the text's NUL, as the platform expects of REG_SZ.
    if (RegSetValueExA(BaseKey(true), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        RaiseSetDataError(name);
}

void TRegistry::WriteInteger(const std::string& name, int value)
{
    DWORD data = static_cast<DWORD>(value);
    if (RegSetValueExA(BaseKey(true), name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        RaiseSetDataError(name);
}

std::string TRegistry::ReadRawData(const std::string& name, DWORD* type)
{
    TRegData value;
    if (!ReadData(name, value))
        value = {};
    if (type)
        *type = value.Type;
    return std::move(value.Data);
}

void TRegistry::WriteRawData(const std::string& name, DWORD type, const std::string& data)
{
    if (RegSetValueExA(BaseKey(true), name.c_str(), 0, type, Bytes(data),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        RaiseSetDataError(name);
}

TRegistry::SectionKey::SectionKey(TRegistry& registry, const std::string& section, bool canCreate)
{
    TKeyPath path = SplitPath(section);
    HKEY base = registry.BaseKey(path.Relative);
    if (path.Name.empty()) {
        // The key itself: no second handle is needed.
        FHandle = base;
        return;
    }
    HKEY handle = nullptr;
    if (canCreate) {
        if (RegCreateKeyExA(base, path.Name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &handle, nullptr) != ERROR_SUCCESS)
            throw ERegistryException("Failed to create key " + section);
    } else if (RegOpenKeyExA(base, path.Name.c_str(), 0, KEY_ALL_ACCESS, &handle) !=
               ERROR_SUCCESS) {
        return;
    }
    FOwned.Reset(handle);
    FHandle = handle;
}

// ---------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& fileName) : FFileName(fileName)
{
    OpenKey(fileName, true);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& fallback)
{
    SectionKey key(*this, section, false);
    TRegData value;
    if (!key || !ValueOf(key.Handle(), ident, value))
        return fallback;
    return TextOfData(ident, value);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value)
{
    SectionKey key(*this, section, true);
    if (RegSetValueExA(key.Handle(), ident.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        RaiseSetDataError(ident);
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int fallback)
{
    // A missing value reads as the empty text, which is no number.
    return StrToIntDef(ReadString(section, ident, std::string()), fallback);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, std::to_string(value));
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool fallback)
{
    return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteInteger(section, ident, value ? 1 : 0);
}

// ---------------------------------------------------------------------------
// TRegIniFileEx

bool TRegIniFileEx::ReadBoolean(const std::string& section, const std::string& ident,
                                bool fallback)
{
    SectionKey key(*this, section, false);
    TRegData value;
    if (!key || !ValueOf(key.Handle(), ident, value))
        return fallback;
    return IntegerOfRegData(ident, value) != 0;
}

void TRegIniFileEx::WriteBoolean(const std::string& section, const std::string& ident,
                                 bool value)
{
    SectionKey key(*this, section, true);
    DWORD data = value ? 1 : 0;
    if (RegSetValueExA(key.Handle(), ident.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        RaiseSetDataError(ident);
}

void TRegIniFileEx::ReadMultiString(const std::string& section, const std::string& ident,
                                    TStringList& lines)
{
    SectionKey key(*this, section, false);
    TRegData value;
    if (!key || !ValueOf(key.Handle(), ident, value))
        return;
    for (const std::string& line : DecodeMultiString(value.Data))
        lines.Add(line);
}

void TRegIniFileEx::WriteMultiString(const std::string& section, const std::string& ident,
                                     const TStringList& lines)
{
    SectionKey key(*this, section, false);
    if (!key)
        return;
    RegDeleteValueA(key.Handle(), ident.c_str());
    std::string data = EncodeMultiString(lines.Strings());
    if (RegSetValueExA(key.Handle(), ident.c_str(), 0, REG_MULTI_SZ, Bytes(data),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw ERegistryException("Error setting value in WriteMultiString.");
}
