// floor_posix WINDOWS_DIR... COUNT: the floor of the native offline listing, the
// directory calls that it cannot do without and nothing else: each of the
// COUNT uninstall directories of the benchmark image (Q300000 and up) listed
// with opendir/readdir and the stat of every entry but "." and "..", in each
// Windows directory named in turn. Prints the number of entries.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WINDOWS_DIR... COUNT\n", argv[0]);
        return 2;
    }
    const int count = std::stoi(argv[argc - 1]);
    long entries = 0;
    struct stat status;
    for (int arg = 1; arg < argc - 1; ++arg) {
        const std::string windowsDir = argv[arg];
        for (int i = 0; i < count; ++i) {
            const std::string dir = windowsDir + "/$NtUninstallQ" + std::to_string(300000 + i) + "$";
            DIR* listing = opendir(dir.c_str());
            if (!listing)
                continue;
            while (const dirent* item = readdir(listing)) {
                const std::string name = item->d_name;
                if (name == "." || name == "..")
                    continue;
                if (fstatat(dirfd(listing), item->d_name, &status, 0) == 0 && !S_ISDIR(status.st_mode))
                    ++entries;
            }
            closedir(listing);
        }
    }
    std::printf("%ld\n", entries);
    return entries > 0 ? 0 : 1;
}
