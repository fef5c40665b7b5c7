// Input: a list file's bytes. Every line read is trimmed, not a comment and
// free of line ends; written and read again they are the same lines;
// the targets made of them are unique and each reads back as itself.
#include "TargetList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = ReadListLines(text);
    for (const std::string& line : lines) {
        if (line.empty() || line.front() == ';' || line.find_first_of("\r\n") != std::string::npos ||
            line.front() == ' ' || line.front() == '\t' || line.back() == ' ' || line.back() == '\t')
            std::abort();
    }
    // A first line that itself begins with a byte order mark loses it when read again.
    const bool markFirst = !lines.empty() && lines.front().starts_with("\xEF\xBB\xBF");
    if (!markFirst && ReadListLines(WriteListLines(lines)) != lines)
        std::abort();
    std::vector<TCompareTarget> targets;
    for (const std::string& line : lines)
        AddTarget(targets, TargetOfText(line), (size & 1) != 0);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (TargetOfText(TextOfTarget(targets[i])) != targets[i])
            std::abort();
        for (std::size_t j = 0; j < i; ++j)
            if (TargetIdentity(targets[i], (size & 1) != 0) == TargetIdentity(targets[j], (size & 1) != 0))
                std::abort();
    }
    return 0;
}
