// The floor of the console listing: the registry and directory calls that
// listing every hotfix with its description and uninstall directory cannot do
// without, and nothing else. It formats nothing and prints nothing, so the
// time it takes is what pscopecl costs at the least (bench/console-bench.sh).
// "floor /OFFLINE:<Windows directory> COUNT" makes only the directory
// listings of the offline listing of that directory, whose COUNT hotfixes
// are numbered as bench/make-bench.sh numbers them (bench/offline-bench.sh).
#include <windows.h>

#include <string>
#include <vector>

namespace {

class RegKey {
public:
    RegKey(HKEY parent, const std::string& path)
    {
        if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &FKey) != ERROR_SUCCESS)
            FKey = nullptr;
    }
    ~RegKey()
    {
        if (FKey)
            RegCloseKey(FKey);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    explicit operator bool() const { return FKey != nullptr; }
    HKEY Handle() const { return FKey; }

    // The value's data as the registry holds it; empty when it is missing.
    // One query answers most values: a longer one reports its size.
    std::string Read(const char* name) const
    {
        std::string data(256, '\0');
        for (;;) {
            DWORD size = static_cast<DWORD>(data.size());
            LONG result = RegQueryValueExA(FKey, name, nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(data.data()), &size);
            if (result == ERROR_MORE_DATA) {
                data.resize(size > data.size() ? size : data.size() * 2);
                continue;
            }
            data.resize(result == ERROR_SUCCESS ? size : 0);
            return data;
        }
    }

    std::vector<std::string> SubkeyNames() const
    {
        DWORD count = 0, longest = 0;
        RegQueryInfoKeyA(FKey, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        std::vector<std::string> names;
        names.reserve(count);
        std::string name(longest + 1, '\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(name.size());
            LONG result = RegEnumKeyExA(FKey, i, name.data(), &length, nullptr, nullptr, nullptr,
                                        nullptr);
            if (result != ERROR_SUCCESS)
                break;
            names.emplace_back(name.data(), length);
        }
        return names;
    }

private:
    HKEY FKey = nullptr;
};

class FindHandle {
public:
    FindHandle(const std::string& pattern, WIN32_FIND_DATAA& data)
        : FHandle(FindFirstFileA(pattern.c_str(), &data)) {}
    ~FindHandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            FindClose(FHandle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(FHandle, &data) != 0; }

private:
    HANDLE FHandle;
};

const char* const DefaultSearchPath =
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP4\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP5\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP6\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP7\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP8\\Hotfix,"
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP9\\Hotfix";

std::vector<std::string> SplitAtCommas(const std::string& text)
{
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        auto comma = text.find(',', start);
        pieces.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            return pieces;
        start = comma + 1;
    }
}

// The registry API takes key paths without their leading backslash.
std::string RelativePath(const std::string& path)
{
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

std::string WindowsDirectory()
{
    std::string directory(MAX_PATH + 1, '\0');
    UINT length = GetWindowsDirectoryA(directory.data(), static_cast<UINT>(directory.size()));
    directory.resize(length < directory.size() ? length : 0);
    if (directory.empty() || directory.back() != '\\')
        directory += '\\';
    return directory;
}

// Touches every entry but directories, as the listing does; returns the count
// so that the work has a result.
size_t ListUninstallDir(const std::string& directory)
{
    WIN32_FIND_DATAA data;
    FindHandle find(directory + "*.*", data);
    size_t files = 0;
    if (!find)
        return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++files;
    } while (find.Next(data));
    return files;
}

}   // namespace

// The uninstall directories of the offline copy, listed in hotfix order.
int ListOfflineDirs(const std::string& windows, int count)
{
    size_t files = 0;
    for (int i = 0; i < count; ++i)
        files += ListUninstallDir(windows + "\\$NtUninstallQ" + std::to_string(300000 + i) + "$\\");
    return files > 0 ? 0 : 1;
}

int main(int argc, char* argv[])
{
    const std::string offline = "/OFFLINE:";
    // "/OFFLINE:<dir>... COUNT": each offline Windows directory in turn.
    if (argc >= 3 && std::string(argv[1]).compare(0, offline.size(), offline) == 0) {
        int result = 0;
        for (int arg = 1; arg < argc - 1; ++arg)
            result |= ListOfflineDirs(std::string(argv[arg]).substr(offline.size()),
                                      std::stoi(argv[argc - 1]));
        return result;
    }

    {
        RegKey user(HKEY_CURRENT_USER, "Software\\Brightwater\\Patchscope");
        if (user) {
            user.Read("Time format");
            user.Read("Text if unknown value");
        }
    }
    std::string ignore = "Q147222,";
    std::string searchPath = DefaultSearchPath;
    {
        RegKey settings(HKEY_LOCAL_MACHINE, "Software\\Brightwater\\Patchscope");
        if (settings) {
            ignore += settings.Read("Hotfixes to ignore").c_str();
            std::string path = settings.Read("Hotfix search path").c_str();
            if (!path.empty())
                searchPath = path;
            settings.Read("Ignore pre-SP4 hotfixes");
        }
    }

    const std::string windows = WindowsDirectory();
    size_t hotfixes = 0, files = 0;
    for (const std::string& keyPath : SplitAtCommas(searchPath)) {
        std::vector<std::string> ids;
        {
            RegKey hotfixKey(HKEY_LOCAL_MACHINE, RelativePath(keyPath));
            if (!hotfixKey)
                continue;
            ids = hotfixKey.SubkeyNames();
        }
        for (const std::string& id : ids) {
            if (ignore.find(id) != std::string::npos)
                continue;
            ++hotfixes;
            {
                RegKey hotfix(HKEY_LOCAL_MACHINE, RelativePath(keyPath) + "\\" + id);
                if (hotfix)
                    hotfix.Read("Fix Description");
            }
            files += ListUninstallDir(windows + "$NtUninstall" + id + "$\\");
        }
    }
    // The exit code says whether anything was found at all.
    return hotfixes > 0 && files > 0 ? 0 : 1;
}
