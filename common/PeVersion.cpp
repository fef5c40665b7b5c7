#include "PeVersion.h"

namespace {

constexpr std::uint32_t kResourceVersion = 16;      // RT_VERSION
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kHighBit = 0x80000000;

// Little-endian reads that fail instead of reading past the bytes.
class TImage {
public:
    explicit TImage(std::string_view bytes) : FBytes(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= FBytes.size() && length <= FBytes.size() - offset;
    }
    std::optional<std::uint32_t> U16(std::uint64_t offset) const { return Read(offset, 2); }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Read(offset, 4); }

private:
    std::optional<std::uint32_t> Read(std::uint64_t offset, unsigned size) const
    {
        if (!Has(offset, size))
            return std::nullopt;
        std::uint32_t value = 0;
        for (unsigned i = size; i-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(FBytes[offset + i]);
        return value;
    }

    std::string_view FBytes;
};

struct TSections {
    std::uint64_t Table = 0;
    unsigned Count = 0;
};

// The file offset of Length bytes at Rva, when one section's raw data holds them all.
std::optional<std::uint64_t> RvaToOffset(const TImage& image, const TSections& sections,
                                         std::uint32_t rva, std::uint32_t length)
{
    for (unsigned i = 0; i < sections.Count; ++i) {
        const std::uint64_t header = sections.Table + 40ull * i;
        const auto address = image.U32(header + 12);
        const auto rawSize = image.U32(header + 16);
        const auto rawOffset = image.U32(header + 20);
        if (!address || !rawSize || !rawOffset)
            return std::nullopt;
        if (rva < *address || rva - *address >= *rawSize)
            continue;
        const std::uint64_t within = rva - *address;
        if (length > *rawSize - within)
            return std::nullopt;
        const std::uint64_t offset = *rawOffset + within;
        return image.Has(offset, length) ? std::optional<std::uint64_t>(offset) : std::nullopt;
    }
    return std::nullopt;
}

// The entry of the resource directory at Dir (relative to the resource
// root) whose ID is Id, or its first entry for Id 0; the entry's offset
// field, or nothing.
std::optional<std::uint32_t> DirectoryEntry(const TImage& image, std::uint64_t root,
                                            std::uint64_t dir, std::uint32_t id, bool wantSubdir)
{
    const auto named = image.U16(root + dir + 12);
    const auto ids = image.U16(root + dir + 14);
    if (!named || !ids)
        return std::nullopt;
    for (std::uint32_t i = 0; i < *named + *ids; ++i) {
        const std::uint64_t entry = root + dir + 16 + 8ull * i;
        const auto name = image.U32(entry);
        const auto target = image.U32(entry + 4);
        if (!name || !target)
            return std::nullopt;
        if (id != 0 && ((*name & kHighBit) || *name != id))
            continue;
        if (((*target & kHighBit) != 0) == wantSubdir)
            return *target & ~kHighBit;
    }
    return std::nullopt;
}

// The fixed part of the VS_VERSION_INFO block of Length bytes at Offset.
std::optional<TFileVersion> FixedVersionOfBlock(const TImage& image, std::uint64_t offset,
                                                std::uint32_t length)
{
    static const char kKey[] = "VS_VERSION_INFO";
    const auto blockLength = image.U16(offset);
    const auto valueLength = image.U16(offset + 2);
    if (!blockLength || !valueLength || *blockLength > length || *valueLength < 52)
        return std::nullopt;
    for (unsigned i = 0; i < sizeof kKey; ++i)
        if (image.U16(offset + 6 + 2 * i) != static_cast<std::uint32_t>(kKey[i]))
            return std::nullopt;
    const std::uint64_t fixed = offset + ((6 + 2 * sizeof kKey + 3) & ~3ull);
    if (fixed + 52 > offset + *blockLength || image.U32(fixed) != kFixedSignature)
        return std::nullopt;
    const auto high = image.U32(fixed + 8);
    const auto low = image.U32(fixed + 12);
    if (!high || !low)
        return std::nullopt;
    return (TFileVersion{*high} << 32) | *low;
}

}  // namespace

std::optional<TFileVersion> ReadFixedFileVersion(std::string_view bytes)
{
    const TImage image(bytes);
    if (!bytes.starts_with("MZ"))
        return std::nullopt;
    const auto pe = image.U32(0x3C);
    if (!pe || image.U32(*pe) != 0x00004550u)   // "PE\0\0"
        return std::nullopt;
    const auto sectionCount = image.U16(*pe + 6);
    const auto optionalSize = image.U16(*pe + 20);
    const std::uint64_t optional = *pe + 24ull;
    const auto magic = image.U16(optional);
    if (!sectionCount || !optionalSize || !magic)
        return std::nullopt;
    std::uint64_t countAt = 0;
    if (*magic == 0x10B)
        countAt = 92;
    else if (*magic == 0x20B)
        countAt = 108;
    else
        return std::nullopt;
    const auto directories = image.U32(optional + countAt);
    const std::uint64_t resourceEntry = countAt + 4 + 2 * 8;
    if (!directories || *directories < 3 || resourceEntry + 8 > *optionalSize)
        return std::nullopt;
    const auto resourceRva = image.U32(optional + resourceEntry);
    if (!resourceRva || *resourceRva == 0)
        return std::nullopt;
    const TSections sections{optional + *optionalSize, *sectionCount};
    const auto root = RvaToOffset(image, sections, *resourceRva, 16);
    if (!root)
        return std::nullopt;
    const auto types = DirectoryEntry(image, *root, 0, kResourceVersion, true);
    const auto names = types ? DirectoryEntry(image, *root, *types, 0, true) : std::nullopt;
    const auto data = names ? DirectoryEntry(image, *root, *names, 0, false) : std::nullopt;
    if (!data)
        return std::nullopt;
    const auto dataRva = image.U32(*root + *data);
    const auto dataSize = image.U32(*root + *data + 4);
    if (!dataRva || !dataSize)
        return std::nullopt;
    const auto block = RvaToOffset(image, sections, *dataRva, *dataSize);
    return block ? FixedVersionOfBlock(image, *block, *dataSize) : std::nullopt;
}

std::string FileVersionText(TFileVersion version)
{
    return std::to_string(version >> 48) + "." + std::to_string((version >> 32) & 0xFFFF) + "." +
           std::to_string((version >> 16) & 0xFFFF) + "." + std::to_string(version & 0xFFFF);
}
