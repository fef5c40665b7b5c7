#pragma once
// The registry of a target system as the hotfix reading sees it: subkey
// names and values of keys named by their path from the root
// (HKEY_LOCAL_MACHINE of a computer, or the registry files of an offline
// Windows directory). Each kind of target implements TRegistrySource; the
// rules for a value's type and its errors are the same for all of them.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "RegValueTypes.h"

class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value's registry type and all of its data, exactly as long as the
// registry reports it (no terminating NUL added or assumed).
struct TRegData {
    std::uint32_t Type = kRegNone;
    std::string Data;
};

// "Invalid data type for '<name>'" and "Failed to get data for '<name>'".
[[noreturn]] void RaiseInvalidDataType(const std::string& name);
[[noreturn]] void RaiseGetDataError(const std::string& name);

// What a string read makes of a value's data: empty data gives the empty
// text; text types end at their first NUL or at the end of the data; every
// other type raises the invalid-type error with Name.
std::string TextOfRegData(const std::string& name, const TRegData& value);
// A REG_DWORD's number; another type raises the invalid-type error, data
// longer than four bytes the get-data error.
int IntegerOfRegData(const std::string& name, const TRegData& value);

class TRegistrySource {
public:
    virtual ~TRegistrySource() = default;

    // Paths start at the root, with or without a leading backslash.
    // The subkey names of the key at Path in enumeration order (Names is
    // cleared first); false when there is no such key.
    virtual bool GetKeyNames(const std::string& path, std::vector<std::string>& names) = 0;
    // Value Name of the key at Path; false when the key or the value is
    // missing. Any other failure raises the get-data error.
    virtual bool ReadValue(const std::string& path, const std::string& name, TRegData& value) = 0;
    // Whether the program's per-machine settings key at Path is there to be
    // read. A source that may write (the live registry, for the windowed
    // program) creates it here when missing; every other source only looks.
    virtual bool OpenSettingsKey(const std::string& path) = 0;

    // Value Name as text (TextOfRegData), Fallback when it is missing.
    std::string ReadString(const std::string& path, const std::string& name,
                           const std::string& fallback);
    // Value Name as a REG_DWORD flag (IntegerOfRegData), Fallback when missing.
    bool ReadBoolean(const std::string& path, const std::string& name, bool fallback);
};
