#pragma once
// Helpers for tests that drive the program's real windows on the virtual
// display: pumping messages, finding controls, keys and clicks as a user's
// would arrive, scripted answers to every prompt, and screenshots.
#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Prompts.h"
#include "Window.h"

// Limits for what normally takes well under a second: long enough for a
// machine fifteen times slower than usual (Wine between two processors of a
// virtual machine), and only ever waited out when something is wrong.
constexpr DWORD kGuiTimeLimitMs = 60000;

// Dispatches messages through the application's loop step (accelerators and
// dialog keys included) until Condition holds or TimeoutMs passes; true when
// it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kGuiTimeLimitMs);
// Dispatches what is waiting, and keeps doing so for ForMs milliseconds.
void PumpMessages(DWORD forMs = 0);

// A control anywhere below Parent, by ID or by its text (and class, if given).
HWND FindControl(HWND parent, int id);
HWND FindControlByText(HWND parent, const std::string& text, const char* className = nullptr);
std::string TextOf(HWND window);

// A key pressed and released on Target, queued as the keyboard would queue
// it when Target has the focus, then pumped. Never "whatever has the focus":
// another program's window may have taken it.
void PressKey(UINT virtualKey, HWND target);
// The left mouse button pressed and released over the middle of Control.
void ClickControl(HWND control);
// What a click on a header column of List sends the list's parent.
void ClickListHeader(HWND list, int column);
// Mouse messages for Control at a point of its client area (queued, then pumped).
void MouseDown(HWND control, int x = 1, int y = 1, UINT message = WM_LBUTTONDOWN);
void MouseUp(HWND control, int x = 1, int y = 1, UINT message = WM_LBUTTONUP);

// The window as it is on the screen, saved as <build tree>/screenshots/<Name>.bmp;
// returns the path written (empty when it failed).
std::string SaveWindowShot(HWND window, const std::string& name);
// The colour of a pixel of a window's client area as drawn.
COLORREF ClientPixel(HWND window, int x, int y);

// One message box as the program asked for it.
struct TAskedMessage {
    HWND Owner = nullptr;
    std::string Text;
    std::string Caption;
    UINT Flags = 0;
    UINT Icon() const { return Flags & MB_ICONMASK; }
    UINT Buttons() const { return Flags & MB_TYPEMASK; }
};

// Scripted answers to every prompt, in place for the life of the object.
// Message boxes answer from MessageAnswers, else with their first button;
// the save and browse dialogs answer from their queues (nullopt or an empty
// queue: the user cancelled); the program's own modal dialogs run the next
// script of DialogScripts against the live dialog (no script: Cancel). A
// dialog that is still open kGuiTimeLimitMs after its script is closed with
// Cancel and counted in DialogsLeftOpen.
class TScriptedPrompts : public TPrompts {
public:
    TScriptedPrompts();
    ~TScriptedPrompts() override;

    std::vector<TAskedMessage> Messages;
    std::deque<int> MessageAnswers;

    std::vector<TSaveFileRequest> SaveFileRequests;
    std::deque<std::optional<std::string>> SaveFileAnswers;
    // The filter entry picked with each chosen name (none left: the entry
    // the request showed first).
    std::deque<int> SaveFileFilterIndexes;

    std::vector<TBrowseComputerRequest> BrowseRequests;
    std::deque<std::optional<std::string>> BrowseAnswers;
    std::vector<TBrowseFolderRequest> FolderRequests;
    std::deque<std::optional<std::string>> FolderAnswers;

    std::vector<std::string> DialogsShown;  // captions at the moment of showing
    std::deque<std::function<void(TDialog&)>> DialogScripts;
    int DialogsLeftOpen = 0;

    struct TShellOpen {
        HWND Owner = nullptr;
        std::string Target;
        std::string Parameters;
        int ShowCommand = 0;
    };
    std::vector<TShellOpen> ShellOpens;
    // What the shell answers: above 32 it took the target.
    INT_PTR ShellOpenResult = 42;

    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT flags) override;
    bool SaveFile(HWND owner, TSaveFileRequest& request) override;
    bool BrowseComputer(HWND owner, TBrowseComputerRequest& request) override;
    bool BrowseFolder(HWND owner, TBrowseFolderRequest& request) override;
    int ShowModal(TDialog& dialog) override;
    INT_PTR ShellOpen(HWND owner, const std::string& target, const std::string& parameters,
                      int showCommand) override;

private:
    TPromptsOverride FOverride;
};

// Scripts for TScriptedPrompts::DialogScripts.
// Clicks the button with ID in the dialog, as the mouse would.
std::function<void(TDialog&)> ClickButtonScript(int id);
// Presses a key on the dialog itself (Enter, Esc ...), which the dialog
// handles as for any of its controls.
std::function<void(TDialog&)> PressKeyScript(UINT virtualKey);
