#include "TargetAccess.h"

bool IsOfflineTarget(const std::string& target)
{
    const std::size_t nameStart = target.find_first_not_of('\\');
    return nameStart != std::string::npos &&
           target.find_first_of(":\\/", nameStart) != std::string::npos;
}
