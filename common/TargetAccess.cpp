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
