#include "ImageTarget.h"

#include <sys/stat.h>

#include <cctype>

#include "ImageFileSource.h"

namespace {

bool FileExists(const std::string& path)
{
    struct stat status;
    return !path.empty() && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// The length of "@<digits>" at Pos followed by the end or ":"; 0 otherwise.
std::size_t VolumeSuffixAt(const std::string& text, std::size_t pos)
{
    std::size_t end = pos + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    if (end == pos + 1 || (end < text.size() && text[end] != ':'))
        return 0;
    return end - pos;
}

TImageTargetName SplitAt(const std::string& text, std::size_t pos, std::size_t length)
{
    TImageTargetName name;
    name.File = text.substr(0, pos);
    const std::string digits = text.substr(pos + 1, length - 1);
    // More digits than any volume count: a number that no volume has.
    name.VolumeNamed = true;
    name.Volume = digits.size() > 6 ? 1000000 : std::stoi(digits);
    if (pos + length < text.size())
        name.Directory = text.substr(pos + length + 1);
    return name;
}

struct TWindowsDirFound {
    int Volume;
    std::string Directory;   // "\WINNT"
    std::string FileSystem;
};

std::string Described(const TImageVolume& volume)
{
    return volume.FileSystem.empty() ? "no file system known" : volume.FileSystem;
}

// The Windows directories at the root of the volume of Files; a volume that
// cannot be searched adds its reason to Searched.
void SearchVolume(const TImageFileSource& files, const TImageVolume& volume,
                  std::vector<TWindowsDirFound>& found, std::string& searched)
{
    try {
        const std::string root = files.WindowsDir();
        std::vector<TFileEntry> entries;
        files.ListDirectory(root, entries);
        for (const TFileEntry& entry : entries) {
            if (!entry.IsDirectory())
                continue;
            const std::string dir = files.PathOf(root, entry.Name);
            const std::string config = files.PathOf(files.PathOf(dir, "system32"), "config");
            TFileEntry software;
            if (files.FindFile(files.PathOf(config, "software"), software).Result ==
                    TLookup::Found &&
                !software.IsDirectory())
                found.push_back({volume.Number, "\\" + entry.Name, volume.FileSystem});
        }
    } catch (const EImageError& error) {
        searched += std::string(", damaged: ") + error.what();
    }
}

// The directory that the user named: it must exist.
std::unique_ptr<TImageFileSource> NamedDirectory(const std::shared_ptr<const TDiskImage>& image,
                                                 const TImageTargetName& name)
{
    auto files = std::make_unique<TImageFileSource>(image, name.Volume, name.Directory);
    TFileEntry entry;
    if (files->FindFile(files->WindowsDir(), entry).Result != TLookup::Found ||
        !entry.IsDirectory())
        throw EImageError("There is no directory " + files->WindowsDir() + " (" +
                          files->FileSystem() + ")");
    return files;
}

// The one Windows directory of the volumes searched (all, or the one named).
// A source per volume, so that the one chosen keeps what the search read
// (the Windows directory's listing above all).
std::unique_ptr<TImageFileSource> FoundDirectory(const std::shared_ptr<const TDiskImage>& image,
                                                 const TImageTargetName& name)
{
    const std::vector<TImageVolume>& volumes = image->Volumes();
    std::vector<TWindowsDirFound> found;
    std::vector<std::unique_ptr<TImageFileSource>> volumeFiles(volumes.size());
    std::string searched;
    for (const TImageVolume& volume : volumes) {
        if (name.VolumeNamed && volume.Number != name.Volume)
            continue;
        searched += std::string(searched.empty() ? "" : ", ") + "volume " +
                    std::to_string(volume.Number) + " (" + Described(volume);
        if (!volume.FileSystem.empty()) {
            auto& files = volumeFiles[static_cast<std::size_t>(volume.Number) - 1];
            files = std::make_unique<TImageFileSource>(image, volume.Number, "");
            SearchVolume(*files, volume, found, searched);
        }
        searched += ")";
    }
    if (found.empty())
        throw EImageError("No Windows directory (a directory at a volume's root holding "
                          "system32\\config\\software) on " + name.File + "; searched " +
                          searched);
    if (found.size() > 1) {
        std::string list;
        for (const TWindowsDirFound& dir : found)
            list += (list.empty() ? "" : ", ") + name.File + "@" + std::to_string(dir.Volume) +
                    ":" + dir.Directory + " (" + dir.FileSystem + ")";
        throw EImageError(name.File + " holds " + std::to_string(found.size()) +
                          " Windows directories: " + list +
                          "; name one as /IMAGE:<image>@<n>:<directory>");
    }
    auto files = std::move(volumeFiles[static_cast<std::size_t>(found.front().Volume) - 1]);
    files->SetWindowsDir(found.front().Directory);
    return files;
}

}  // namespace

TImageTargetName ParseImageTargetName(const std::string& text)
{
    std::size_t first = std::string::npos, firstLength = 0;
    for (std::size_t pos = text.find('@'); pos != std::string::npos; pos = text.find('@', pos + 1)) {
        const std::size_t length = VolumeSuffixAt(text, pos);
        if (length == 0)
            continue;
        if (FileExists(text.substr(0, pos)))
            return SplitAt(text, pos, length);
        if (first == std::string::npos) {
            first = pos;
            firstLength = length;
        }
    }
    if (first == std::string::npos || FileExists(text)) {
        TImageTargetName name;
        name.File = text;
        return name;
    }
    return SplitAt(text, first, firstLength);
}

std::unique_ptr<TOfflineSystem> OpenImageTarget(const std::string& text, TTextCodePage codePage)
{
    const TImageTargetName name = ParseImageTargetName(text);
    const auto image = std::make_shared<const TDiskImage>(name.File);
    const std::size_t count = image->Volumes().size();
    if (name.VolumeNamed && (name.Volume < 1 || static_cast<std::size_t>(name.Volume) > count))
        throw EImageError(name.File + " has no volume " + std::to_string(name.Volume) +
                          "; its volumes are numbered 1 to " + std::to_string(count));
    std::unique_ptr<TImageFileSource> files =
        name.Directory.empty() ? FoundDirectory(image, name) : NamedDirectory(image, name);
    return std::make_unique<TOfflineSystem>(std::move(files), std::move(codePage));
}
