#include "Driver.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include "PrivateRegistry.h"
#include "TestFiles.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The build gives the program's Unix path; Wine reaches it through drive Z:.
std::string ProgramPath()
{
    std::string path = std::string("Z:").append(PSCOPE_EXE);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// A block of memory inside another process, for messages whose arguments
// point to memory.
class TRemoteBlock {
public:
    TRemoteBlock(HANDLE process, std::size_t size)
        : FProcess(process),
          FAddress(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~TRemoteBlock()
    {
        if (FAddress)
            VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    }
    TRemoteBlock(const TRemoteBlock&) = delete;
    TRemoteBlock& operator=(const TRemoteBlock&) = delete;

    char* Address() const { return static_cast<char*>(FAddress); }
    bool Write(std::size_t offset, const void* data, std::size_t size) const
    {
        return FAddress && WriteProcessMemory(FProcess, Address() + offset, data, size, nullptr);
    }
    std::string ReadText(std::size_t offset, std::size_t size) const
    {
        std::string text(size, '\0');
        if (!FAddress || !ReadProcessMemory(FProcess, Address() + offset, text.data(), size, nullptr))
            return {};
        text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
        return text;
    }

private:
    HANDLE FProcess;
    void* FAddress;
};

constexpr std::size_t kCellSize = 4096;

// Sends a message that needs no memory of the target, giving up when the
// target's thread does not answer within the time limit.
LRESULT SendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kGuiTimeLimitMs,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

struct TWindowSearch {
    DWORD Process;
    const std::string* Caption;
    const char* ClassName;
    HWND Except;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<TWindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.Process || window == search.Except || !IsWindowVisible(window))
        return TRUE;
    if (search.ClassName) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpiA(className, search.ClassName) != 0)
            return TRUE;
    }
    if (TextOf(window) != *search.Caption)
        return TRUE;
    search.Found = window;
    return FALSE;
}

std::atomic<unsigned> GBackupCounter{0};

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

// ---------------------------------------------------------------------------

TProgram::TProgram(const std::string& arguments)
{
    std::string commandLine = '"' + ProgramPath() + '"';
    if (!arguments.empty())
        commandLine += ' ' + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    FProcess = info.hProcess;
    FId = info.dwProcessId;
}

TProgram::~TProgram()
{
    if (!FProcess)
        return;
    if (WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(FProcess, 0xDEAD);
    WaitForSingleObject(FProcess, kGuiTimeLimitMs);
    CloseHandle(FProcess);
}

HWND TProgram::WaitForWindow(const std::string& caption, const char* className,
                             HWND except) const
{
    TWindowSearch search{FId, &caption, className, except};
    WaitUntil([&] {
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.Found != nullptr || WaitForSingleObject(FProcess, 0) != WAIT_TIMEOUT;
    });
    return search.Found;
}

HWND TProgram::MainWindow() const
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window = FindWindowExA(nullptr, nullptr, "TfrmMain", nullptr); window;
             window = FindWindowExA(nullptr, window, "TfrmMain", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == FId && IsWindowVisible(window))
                found = window;
        }
        return found != nullptr || WaitForSingleObject(FProcess, 0) != WAIT_TIMEOUT;
    });
    return found;
}

std::optional<DWORD> TProgram::WaitForExit(DWORD timeoutMs) const
{
    DWORD code = 0;
    if (!FProcess || WaitForSingleObject(FProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(FProcess, &code))
        return std::nullopt;
    return code;
}

int TProgram::RowCount(HWND list) const
{
    return static_cast<int>(SendWithLimit(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string TProgram::Cell(HWND list, int row, int column) const
{
    TRemoteBlock block(FProcess, sizeof(LVITEMA) + kCellSize);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.Address() + sizeof item;
    item.cchTextMax = kCellSize - 1;
    if (!block.Write(0, &item, sizeof item))
        return {};
    SendWithLimit(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                  reinterpret_cast<LPARAM>(block.Address()));
    return block.ReadText(sizeof item, kCellSize);
}

void TProgram::SelectRow(HWND list, int row) const
{
    TRemoteBlock block(FProcess, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (block.Write(0, &item, sizeof item))
        SendWithLimit(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(block.Address()));
}

// ---------------------------------------------------------------------------

std::string TextOf(HWND window)
{
    const auto length = static_cast<std::size_t>(SendWithLimit(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kGuiTimeLimitMs, &copied))
        return {};
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

void SetText(HWND control, const std::string& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, kGuiTimeLimitMs, &result);
}

HWND Control(HWND parent, int id)
{
    if (HWND direct = GetDlgItem(parent, id))
        return direct;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND found = Control(child, id))
            return found;
    return nullptr;
}

std::string MessageText(HWND box)
{
    // The message box's text control has the ID 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? TextOf(text) : std::string();
}

bool Answers(HWND window)
{
    DWORD_PTR result = 0;
    return IsWindow(window) &&
           SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kGuiTimeLimitMs, &result);
}

void Press(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void PickCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// ---------------------------------------------------------------------------

TSavedKey::TSavedKey(HKEY root, std::string path) : FRoot(root), FPath(std::move(path))
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, FPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        FBackup = "Software\\PatchscopeSavedKeys\\" + ProcessTag() + "-" +
                  std::to_string(GBackupCounter++);
        HKEY backup = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, FBackup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &backup, nullptr) != ERROR_SUCCESS ||
            SHCopyKeyA(key, nullptr, backup, 0) != ERROR_SUCCESS)
            throw std::runtime_error("cannot set aside the key " + FPath);
        RegCloseKey(backup);
        RegCloseKey(key);
    }
    SHDeleteKeyA(root, FPath.c_str());
}

TSavedKey::~TSavedKey()
{
    SHDeleteKeyA(FRoot, FPath.c_str());
    if (FBackup.empty())
        return;
    HKEY key = nullptr;
    HKEY backup = nullptr;
    if (RegCreateKeyExA(FRoot, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_CURRENT_USER, FBackup.c_str(), 0, KEY_READ, &backup) == ERROR_SUCCESS)
        SHCopyKeyA(backup, nullptr, key, 0);
    if (backup)
        RegCloseKey(backup);
    if (key)
        RegCloseKey(key);
    SHDeleteKeyA(HKEY_CURRENT_USER, FBackup.c_str());
    // The parent goes with the last backup (it fails while others remain).
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PatchscopeSavedKeys");
}

TSavedValue::TSavedValue(HKEY root, std::string path, std::string name)
    : FRoot(root), FPath(std::move(path)), FName(std::move(name))
{
    const RegValue value = ReadRawValue(root, FPath, FName);
    FExisted = value.Exists;
    FType = value.Type;
    FData = value.Data;
}

TSavedValue::~TSavedValue()
{
    if (FExisted) {
        try {
            WriteRawValue(FRoot, FPath, FName, FType, FData);
        } catch (const std::exception&) {
            ADD_FAILURE() << "cannot restore the value " << FName;
        }
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(FRoot, FPath.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, FName.c_str());
        RegCloseKey(key);
    }
}
