#include "PrivateRegistry.h"

#include <sddl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

std::atomic<unsigned> g_Counter{0};

HKEY CreateOrThrow(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create scratch key " + path);
    return key;
}

}  // namespace

PrivateRegistry::PrivateRegistry()
{
    FScratchPath = "Software\\PatchscopeTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(g_Counter++);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, nullptr, 0, KEY_ALL_ACCESS, &FRealUser) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open HKEY_CURRENT_USER");
    FMachine = CreateOrThrow(FRealUser, FScratchPath + "\\HKLM");
    FUser = CreateOrThrow(FRealUser, FScratchPath + "\\HKCU");
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, FMachine);
    RegOverridePredefKey(HKEY_CURRENT_USER, FUser);
}

PrivateRegistry::~PrivateRegistry()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(FMachine);
    RegCloseKey(FUser);
    SHDeleteKeyA(FRealUser, FScratchPath.c_str());
    RegCloseKey(FRealUser);
}

RegValue ReadRawValue(HKEY root, const std::string& keyPath, const std::string& name)
{
    RegValue result;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return result;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &result.Type, nullptr, &size) ==
        ERROR_SUCCESS) {
        result.Data.resize(size);
        RegQueryValueExA(key, name.c_str(), nullptr, &result.Type,
                         reinterpret_cast<BYTE*>(result.Data.data()), &size);
        result.Data.resize(size);
        result.Exists = true;
    }
    RegCloseKey(key);
    return result;
}

bool KeyExists(HKEY root, const std::string& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::string& keyPath)
{
    RegCloseKey(CreateOrThrow(root, keyPath));
}

void WriteRawValue(HKEY root, const std::string& keyPath, const std::string& name, DWORD type,
                   const std::string& data)
{
    HKEY key = CreateOrThrow(root, keyPath);
    LONG rc = RegSetValueExA(key, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error("cannot write test value " + name);
}

void WriteDword(HKEY root, const std::string& keyPath, const std::string& name, DWORD value)
{
    WriteRawValue(root, keyPath, name, REG_DWORD,
                  std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

ReadOnlyKey::ReadOnlyKey(const std::string& path, HKEY root)
{
    CreateKey(root, path);
    RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &FKey);
    DWORD size = 0;
    RegGetKeySecurity(FKey, DACL_SECURITY_INFORMATION, nullptr, &size);
    FOldRights.resize(size);
    RegGetKeySecurity(FKey, DACL_SECURITY_INFORMATION, FOldRights.data(), &size);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                         &readOnly, nullptr);
    EXPECT_EQ(RegSetKeySecurity(FKey, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    LocalFree(readOnly);
}

ReadOnlyKey::~ReadOnlyKey()
{
    RegSetKeySecurity(FKey, DACL_SECURITY_INFORMATION, FOldRights.data());
    RegCloseKey(FKey);
}
