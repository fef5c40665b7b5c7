#include "TargetList.h"

#include <string_view>

#include "TargetAccess.h"

namespace {

// A list file's line that names a disk image begins with this.
constexpr std::string_view kImagePrefix = "image:";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

TCompareTarget TargetOfText(const std::string& text)
{
    const std::string name = Trimmed(text);
    if (name.empty() || name == ".")
        return {TTargetKind::Local, ""};
    if (UpperAscii(name.substr(0, kImagePrefix.size())) == "IMAGE:")
        return {TTargetKind::Image, name.substr(kImagePrefix.size())};
    if (IsOfflineTarget(name))
        return {TTargetKind::Offline, name};
    // Backslashes alone name no computer; the connection will say so.
    const std::size_t start = name.find_first_not_of('\\');
    std::string computer = "\\\\";
    if (start != std::string::npos)
        computer.append(UpperAscii(name.substr(start)));
    return {TTargetKind::Computer, computer};
}

std::string TextOfTarget(const TCompareTarget& target)
{
    switch (target.Kind) {
    case TTargetKind::Local:
        return ".";
    case TTargetKind::Image:
        return std::string(kImagePrefix).append(target.Name);
    default:
        return target.Name;
    }
}

std::vector<std::string> ReadListLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trimmed(text.substr(pos, end - pos));
        if (!line.empty() && line.front() != ';')
            lines.push_back(line);
        // CR LF is one line end, CR and LF alone are one each.
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string WriteListLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string TargetIdentity(const TCompareTarget& target, bool caseSensitivePaths)
{
    switch (target.Kind) {
    case TTargetKind::Local:
        return "L";
    case TTargetKind::Computer:
        return std::string("C").append(UpperAscii(target.Name));
    case TTargetKind::Offline:
    case TTargetKind::Image:
        break;
    }
    std::string path = target.Name;
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return std::string(target.Kind == TTargetKind::Image ? "I" : "O")
        .append(caseSensitivePaths ? path : UpperAscii(path));
}

bool AddTarget(std::vector<TCompareTarget>& targets, const TCompareTarget& target,
               bool caseSensitivePaths)
{
    const std::string identity = TargetIdentity(target, caseSensitivePaths);
    for (const TCompareTarget& other : targets)
        if (TargetIdentity(other, caseSensitivePaths) == identity)
            return false;
    targets.push_back(target);
    return true;
}
