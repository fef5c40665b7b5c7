#include "TargetAccess.h"

bool IsOfflineTarget(const std::string& target)
{
    const std::size_t nameStart = target.find_first_not_of('\\');
    return nameStart != std::string::npos &&
           target.find_first_of(":\\/", nameStart) != std::string::npos;
}

std::string CannotListText(const std::string& path, const std::string& reason)
{
    return path + " cannot be listed: " + reason;
}

std::string CannotReadText(const std::string& path, const std::string& reason)
{
    return path + " cannot be read: " + reason;
}

bool IsPlainFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(":/\\") == std::string_view::npos;
}

bool IsDeviceName(std::string_view name)
{
    std::string_view base = name.substr(0, name.find('.'));
    // Blanks before the extension are dropped when the platform parses a name.
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string lower(base);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (lower == "prn" || lower == "con" || lower == "aux" || lower == "nul")
        return true;
    return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) &&
           lower[3] >= '1' && lower[3] <= '9';
}
