#include "RegistrySource.h"


void RaiseInvalidDataType(const std::string& name)
{
    throw ERegistryException("Invalid data type for '" + name + "'");
}

void RaiseGetDataError(const std::string& name)
{
    throw ERegistryException("Failed to get data for '" + name + "'");
}

std::string TextOfRegData(const std::string& name, const TRegData& value)
{
    if (value.Data.empty())
        return {};
    if (value.Type != kRegSz && value.Type != kRegExpandSz)
        RaiseInvalidDataType(name);
    return value.Data.substr(0, value.Data.find('\0'));
}

int IntegerOfRegData(const std::string& name, const TRegData& value)
{
    if (value.Type != kRegDword)
        RaiseInvalidDataType(name);
    if (value.Data.size() > sizeof(std::uint32_t))
        RaiseGetDataError(name);
    // Shorter data fills the low bytes, little-endian as the platform stores it.
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < value.Data.size(); ++i)
        result |= std::uint32_t{static_cast<unsigned char>(value.Data[i])} << (8 * i);
    return static_cast<int>(result);
}

std::string TRegistrySource::ReadString(const std::string& path, const std::string& name,
                                        const std::string& fallback)
{
    TRegData value;
    if (!ReadValue(path, name, value))
        return fallback;
    return TextOfRegData(name, value);
}

bool TRegistrySource::ReadBoolean(const std::string& path, const std::string& name,
                                  bool fallback)
{
    TRegData value;
    if (!ReadValue(path, name, value))
        return fallback;
    return IntegerOfRegData(name, value) != 0;
}
