#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Gives a test an empty HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER of its own:
// both predefined keys of this process are mapped onto fresh scratch keys
// (unique per process and object), which are removed again on destruction.
// Nothing a test writes reaches the prefix's real registry or another test.
class PrivateRegistry {
public:
    PrivateRegistry();
    ~PrivateRegistry();
    PrivateRegistry(const PrivateRegistry&) = delete;
    PrivateRegistry& operator=(const PrivateRegistry&) = delete;

    // Path of the scratch key below the real HKEY_CURRENT_USER.
    const std::string& ScratchPath() const { return FScratchPath; }

private:
    std::string FScratchPath;
    HKEY FRealUser = nullptr;   // the real HKEY_CURRENT_USER, opened before the mapping
    HKEY FMachine = nullptr;
    HKEY FUser = nullptr;
};

// Small helpers for assertions on registry contents (paths from the root).
struct RegValue {
    bool Exists = false;
    DWORD Type = REG_NONE;
    std::string Data;   // raw bytes
};
RegValue ReadRawValue(HKEY root, const std::string& keyPath, const std::string& name);
bool KeyExists(HKEY root, const std::string& keyPath);
void WriteRawValue(HKEY root, const std::string& keyPath, const std::string& name,
                   DWORD type, const std::string& data);
inline void WriteSz(HKEY root, const std::string& keyPath, const std::string& name,
                    const std::string& text)
{
    WriteRawValue(root, keyPath, name, REG_SZ, text + '\0');
}
void WriteDword(HKEY root, const std::string& keyPath, const std::string& name, DWORD value);
void CreateKey(HKEY root, const std::string& keyPath);

// Denies everyone all but reading on a key of Root (created when
// missing) for the life of the object, and gives the old rights back so that
// the private registry can be removed.
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const std::string& path, HKEY root = HKEY_CURRENT_USER);
    ~ReadOnlyKey();
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

private:
    HKEY FKey = nullptr;
    std::vector<char> FOldRights;
};
