#include "HiveSource.h"

namespace {

bool IsSoftwareRoot(const std::string& part)
{
    static const char kSoftware[] = "SOFTWARE";
    if (part.size() != sizeof kSoftware - 1)
        return false;
    for (std::size_t i = 0; i < part.size(); ++i) {
        char c = part[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != kSoftware[i])
            return false;
    }
    return true;
}

}  // namespace

TTextCodePage Utf8CodePage()
{
    auto same = [](const std::string& text) { return text; };
    return {same, same};
}

std::optional<THiveFile::TKey> THiveRegistrySource::KeyOf(const std::string& path) const
{
    const std::size_t start = !path.empty() && path.front() == '\\' ? 1 : 0;
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (!IsSoftwareRoot(path.substr(start, end - start)))
        return std::nullopt;
    if (end >= path.size())
        return FHive.RootKey();
    return FHive.OpenKey(FCodePage.ToUtf8(path.substr(end + 1)));
}

bool THiveRegistrySource::GetKeyNames(const std::string& path, std::vector<std::string>& names)
{
    names.clear();
    const auto key = KeyOf(path);
    if (!key)
        return false;
    names = FHive.SubkeyNames(*key);
    for (std::string& name : names)
        name = FCodePage.FromUtf8(name);
    return true;
}

bool THiveRegistrySource::ReadValue(const std::string& path, const std::string& name,
                                    TRegData& value)
{
    const auto key = KeyOf(path);
    if (!key)
        return false;
    auto stored = FHive.ReadValue(*key, FCodePage.ToUtf8(name));
    if (!stored)
        return false;
    value.Type = stored->Type;
    if (stored->Type == kRegSz || stored->Type == kRegExpandSz || stored->Type == kRegMultiSz)
        value.Data = FCodePage.FromUtf8(Utf16LeToUtf8(stored->Data));
    else
        value.Data = std::move(stored->Data);
    return true;
}

bool THiveRegistrySource::OpenSettingsKey(const std::string& path)
{
    return KeyOf(path).has_value();
}
