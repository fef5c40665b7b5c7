// floor_image IMAGE COUNT: the floor of pscopecl /IMAGE: on the benchmark's
// volume, the library calls that its listing cannot do without and nothing
// else: the root and WINNT listed by name, then each of the COUNT uninstall
// directories (Q300000 and up) opened by its address and every entry's
// metadata read. Prints the number of files.
#include <tsk/libtsk.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>

namespace {

struct TImageCloser {
    void operator()(TSK_IMG_INFO* image) const { tsk_img_close(image); }
};
struct TFileSystemCloser {
    void operator()(TSK_FS_INFO* fileSystem) const { tsk_fs_close(fileSystem); }
};
struct TDirCloser {
    void operator()(TSK_FS_DIR* dir) const { tsk_fs_dir_close(dir); }
};
struct TFileCloser {
    void operator()(TSK_FS_FILE* file) const { tsk_fs_file_close(file); }
};
using TDirHandle = std::unique_ptr<TSK_FS_DIR, TDirCloser>;

// Name to address of a directory's allocated entries.
std::unordered_map<std::string, TSK_INUM_T> NamesOf(TSK_FS_INFO* fileSystem, TSK_INUM_T address)
{
    std::unordered_map<std::string, TSK_INUM_T> names;
    TDirHandle dir(tsk_fs_dir_open_meta(fileSystem, address));
    if (!dir)
        return names;
    for (std::size_t i = 0; i < tsk_fs_dir_getsize(dir.get()); ++i) {
        const TSK_FS_NAME* name = tsk_fs_dir_get_name(dir.get(), i);
        if (name && (name->flags & TSK_FS_NAME_FLAG_ALLOC) != 0)
            names.emplace(name->name, name->meta_addr);
    }
    return names;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IMAGE COUNT\n", argv[0]);
        return 2;
    }
    const int count = std::stoi(argv[2]);
    std::unique_ptr<TSK_IMG_INFO, TImageCloser> image(
        tsk_img_open_utf8_sing(argv[1], TSK_IMG_TYPE_DETECT, 0));
    if (!image)
        return 1;
    std::unique_ptr<TSK_FS_INFO, TFileSystemCloser> fileSystem(
        tsk_fs_open_img(image.get(), 0, TSK_FS_TYPE_DETECT));
    if (!fileSystem)
        return 1;
    const auto root = NamesOf(fileSystem.get(), fileSystem->root_inum);
    const auto windows = root.find("WINNT");
    if (windows == root.end())
        return 1;
    const auto names = NamesOf(fileSystem.get(), windows->second);
    long files = 0;
    for (int i = 0; i < count; ++i) {
        const auto found = names.find("$NtUninstallQ" + std::to_string(300000 + i) + "$");
        if (found == names.end())
            continue;
        TDirHandle dir(tsk_fs_dir_open_meta(fileSystem.get(), found->second));
        if (!dir)
            continue;
        for (std::size_t j = 0; j < tsk_fs_dir_getsize(dir.get()); ++j) {
            // "." and ".." would load the metadata of the directory and its parent.
            const TSK_FS_NAME* name = tsk_fs_dir_get_name(dir.get(), j);
            if (!name || (name->flags & TSK_FS_NAME_FLAG_ALLOC) == 0 || name->name[0] == '.')
                continue;
            std::unique_ptr<TSK_FS_FILE, TFileCloser> file(tsk_fs_dir_get(dir.get(), j));
            if (file && file->meta && file->meta->type == TSK_FS_META_TYPE_REG)
                ++files;
        }
    }
    std::printf("%ld\n", files);
    return files > 0 ? 0 : 1;
}
