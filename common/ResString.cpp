#include "ResString.h"

#include <windows.h>

std::string LoadResString(unsigned id)
{
    // Read from the string table's block itself: strings of any length, and
    // no reliance on LoadStringW's in-place pointer, which NT 4.0 lacks. A
    // block holds 16 strings, each a count of UTF-16 units and the units.
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
    HGLOBAL data = block ? LoadResource(module, block) : nullptr;
    const auto* unit = data ? static_cast<const WCHAR*>(LockResource(data)) : nullptr;
    if (!unit)
        return {};
    const WCHAR* const end = unit + SizeofResource(module, block) / sizeof(WCHAR);
    for (unsigned skip = id % 16; skip > 0 && unit < end; --skip)
        unit += 1 + *unit;
    if (unit >= end || *unit == 0 || *unit > end - unit - 1)
        return {};
    const int length = *unit++;
    const int size = WideCharToMultiByte(CP_ACP, 0, unit, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, unit, length, result.data(), size, nullptr, nullptr);
    return result;
}
