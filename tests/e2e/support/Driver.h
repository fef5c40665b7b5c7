#pragma once
// Drives the built pscope.exe from outside its process, as a user would:
// starts it, finds its windows by caption, reads what its controls and list
// show, presses buttons, picks menu commands and waits, always with a time
// limit. And the prefix's own registry keys that the program reads, set
// aside for a test and given back afterwards.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

// Long enough for a machine fifteen times slower than usual; only ever
// waited out when something is wrong.
constexpr DWORD kGuiTimeLimitMs = 60000;

// True as soon as Condition holds, false when it still fails after TimeoutMs.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kGuiTimeLimitMs);

// The built program, started with a command line; a program still running
// when the object goes is ended.
class TProgram {
public:
    explicit TProgram(const std::string& arguments = {});
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    bool Started() const { return FProcess != nullptr; }
    bool Running() const { return FProcess && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT; }
    // A visible top-level window of this program with the caption (and the
    // window class, when given) other than Except, waited for; null when
    // none came.
    HWND WaitForWindow(const std::string& caption, const char* className = nullptr,
                       HWND except = nullptr) const;
    // The program's main window, once it is there.
    HWND MainWindow() const;
    // The exit code once the program has ended; nullopt while it still runs
    // after the time limit.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = kGuiTimeLimitMs) const;

    // A list view's rows, read and selected through memory inside the program.
    int RowCount(HWND list) const;
    std::string Cell(HWND list, int row, int column) const;
    void SelectRow(HWND list, int row) const;

private:
    HANDLE FProcess = nullptr;
    DWORD FId = 0;
};

// A control's text as the control itself gives it (WM_GETTEXT: another
// process's edit keeps no caption that GetWindowText could read).
std::string TextOf(HWND window);
void SetText(HWND control, const std::string& text);
// A control anywhere below Parent, by its ID.
HWND Control(HWND parent, int id);
// The text of a message box (its static text control).
std::string MessageText(HWND box);
// Whether the window's thread handles messages again (no handler busy).
bool Answers(HWND window);
// A button pressed, or a menu command picked: WM_COMMAND posted to Window,
// as the button or the menu sends it (posted, so that a dialog the command
// opens cannot block the driver).
void Press(HWND window, int id);
void PickCommand(HWND window, int id);

// A key of the prefix's registry taken away for the life of the object (a
// test writes its own data there) and then put back as it was.
class TSavedKey {
public:
    TSavedKey(HKEY root, std::string path);
    ~TSavedKey();
    TSavedKey(const TSavedKey&) = delete;
    TSavedKey& operator=(const TSavedKey&) = delete;

private:
    HKEY FRoot;
    std::string FPath;
    std::string FBackup;   // below HKEY_CURRENT_USER; empty: the key did not exist
};

// The same for one value.
class TSavedValue {
public:
    TSavedValue(HKEY root, std::string path, std::string name);
    ~TSavedValue();
    TSavedValue(const TSavedValue&) = delete;
    TSavedValue& operator=(const TSavedValue&) = delete;

private:
    HKEY FRoot;
    std::string FPath;
    std::string FName;
    bool FExisted = false;
    DWORD FType = REG_NONE;
    std::string FData;
};
