#include "MultiString.h"

std::string EncodeMultiString(const std::vector<std::string>& lines)
{
    std::size_t size = 1;
    for (const auto& line : lines)
        size += (line.empty() ? 1 : line.size()) + 1;

    std::string data;
    data.reserve(size);
    for (const auto& line : lines) {
        data += line.empty() ? std::string_view("-") : std::string_view(line);
        data += '\0';
    }
    data += '\0';
    return data;
}

std::vector<std::string> DecodeMultiString(std::string_view data)
{
    std::vector<std::string> lines;
    while (!data.empty()) {
        const auto end = data.find('\0');
        const auto piece = data.substr(0, end);   // to the end of the data without a NUL
        if (piece.empty())
            break;
        lines.emplace_back(piece == "-" ? std::string_view() : piece);
        if (end == std::string_view::npos)
            break;
        data.remove_prefix(end + 1);
    }
    return lines;
}
