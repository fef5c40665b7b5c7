// Reads what the running pscope shows, from outside its process, as a user
// would see it: the main window's caption, its status panels and every row of
// its list; and answers the Service Pack 4 question with Cancel when it comes.
//
//   pscope_probe read    waits for the list, prints it (one line per item)
//   pscope_probe close   closes the main window
//
// Output lines: "question<TAB>caption", "caption<TAB>...", "status<TAB>...",
// "row<TAB>cell<TAB>cell...".
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// A block of memory inside the other process, for messages whose arguments
// point to memory.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size)
        : FProcess(process),
          FAddress(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))
    {
    }
    ~RemoteBlock()
    {
        if (FAddress)
            VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* Address() const { return static_cast<char*>(FAddress); }
    bool Write(std::size_t offset, const void* data, std::size_t size) const
    {
        return WriteProcessMemory(FProcess, Address() + offset, data, size, nullptr);
    }
    std::string ReadText(std::size_t offset, std::size_t size) const
    {
        std::string text(size, '\0');
        if (!ReadProcessMemory(FProcess, Address() + offset, text.data(), size, nullptr))
            return {};
        text.resize(strnlen(text.c_str(), size));
        return text;
    }

private:
    HANDLE FProcess;
    void* FAddress;
};

const std::size_t kTextSize = 4096;

std::string WindowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

HWND WaitForWindow(const char* className, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (HWND window = FindWindowA(className, nullptr))
            return window;
        Sleep(100);
    }
    return nullptr;
}

struct Question {
    DWORD Process;
    HWND Dialog = nullptr;
};

BOOL CALLBACK FindQuestion(HWND window, LPARAM data)
{
    auto* question = reinterpret_cast<Question*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == question->Process && IsWindowVisible(window) &&
        WindowText(window).rfind("Service Pack 4 found on ", 0) == 0) {
        question->Dialog = window;
        return FALSE;
    }
    return TRUE;
}

std::string StatusText(HWND bar, HANDLE process, int panel)
{
    RemoteBlock text(process, kTextSize);
    if (LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, panel, 0)) >= kTextSize)
        return {};
    SendMessageA(bar, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.Address()));
    std::string result = text.ReadText(0, kTextSize);
    if (!result.empty() && result[0] == '\t')
        result.erase(0, 1);   // the tab that centres the text
    return result;
}

std::string ItemText(HWND list, HANDLE process, int row, int column)
{
    RemoteBlock block(process, sizeof(LVITEMA) + kTextSize);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.Address() + sizeof item;
    item.cchTextMax = kTextSize - 1;
    block.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.Address()));
    return block.ReadText(sizeof item, kTextSize);
}

int Read(HWND main)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(main, &processId);
    Handle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId));
    if (!process) {
        std::fprintf(stderr, "cannot open the program's process\n");
        return 1;
    }
    // The window may still be creating its controls.
    HWND list = nullptr;
    HWND bar = nullptr;
    for (int waited = 0; waited < 600 && (!list || !bar); ++waited) {
        list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
        bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
        if (!list || !bar)
            Sleep(100);
    }
    if (!list || !bar) {
        std::fprintf(stderr, "the main window has no list or status bar\n");
        return 1;
    }
    // The list is complete once the summary stands in the status bar; the
    // question comes before it.
    for (int waited = 0; waited < 600; ++waited) {
        Question question{processId};
        EnumWindows(FindQuestion, reinterpret_cast<LPARAM>(&question));
        if (question.Dialog) {
            std::printf("question\t%s\n", WindowText(question.Dialog).c_str());
            // Its Cancel button, as the mouse would press it.
            if (HWND cancel = FindWindowExA(question.Dialog, nullptr, "Button", "Cancel"))
                PostMessageA(cancel, BM_CLICK, 0, 0);
            else
                PostMessageA(question.Dialog, WM_CLOSE, 0, 0);
            Sleep(300);
        }
        if (!StatusText(bar, process.get(), 0).empty())
            break;
        Sleep(100);
    }
    Sleep(300);
    std::printf("caption\t%s\n", WindowText(main).c_str());
    std::printf("status\t%s\n", StatusText(bar, process.get(), 0).c_str());
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::string line = "row";
        for (int column = 0; column < columns; ++column) {
            line += '\t';
            line += ItemText(list, process.get(), row, column);
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string action = argc > 1 ? argv[1] : "read";
    HWND main = WaitForWindow("TfrmMain", 60000);
    if (!main) {
        std::fprintf(stderr, "no main window of pscope appeared\n");
        return 1;
    }
    if (action == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return Read(main);
}
