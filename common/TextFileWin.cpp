#include "TextFileWin.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>

namespace {

struct THandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using TFileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

TFileHandle OpenFile(const std::string& path, DWORD access, DWORD creation)
{
    const HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, creation,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    return TFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    const TFileHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file)
        return false;
    bytes.clear();
    std::string block(65536, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr))
            return false;
        if (got == 0)
            return true;
        bytes.append(block.data(), got);
    }
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const TFileHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, wanted, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}
