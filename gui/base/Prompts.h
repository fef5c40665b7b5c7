#pragma once
// Every message box and modal prompt of the windowed program, and everything
// it hands to the shell, passes through one TPrompts object: the running program uses the real dialogs
// (TSystemPrompts), tests install scripted answers. Window code never calls
// MessageBox or the common dialogs itself.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class TDialog;

// The save dialog: Filter as "Text files (*.txt)|*.txt|All files|*.*".
// FileName is the proposed name going in and the chosen one coming out;
// FilterIndex (from 1) the entry shown first and the one picked.
struct TSaveFileRequest {
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string DefaultExt;
    // When given, the default extension of each filter entry in turn: the
    // dialog switches DefaultExt as the user picks another entry.
    std::vector<std::string> FilterExtensions;
    std::string InitialDir;
    std::string FileName;
    DWORD Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
};

// The network browse dialog, computers only, with an edit box for a name.
// Computer is the name chosen, as the dialog gives it (with or without
// leading backslashes).
struct TBrowseComputerRequest {
    std::string Title;
    std::string Computer;
};

// The shell's folder browser, file-system folders only. Folder is the folder
// it opens on going in (none: the desktop) and the path chosen coming out.
struct TBrowseFolderRequest {
    std::string Title;
    std::string Folder;
};

class TPrompts {
public:
    virtual ~TPrompts() = default;
    // A message box; returns the button pressed (IDOK, IDYES ...).
    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT flags) = 0;
    // True when the user chose a file name.
    virtual bool SaveFile(HWND owner, TSaveFileRequest& request) = 0;
    // True when the user chose a computer.
    virtual bool BrowseComputer(HWND owner, TBrowseComputerRequest& request) = 0;
    // True when the user chose a folder.
    virtual bool BrowseFolder(HWND owner, TBrowseFolderRequest& request) = 0;
    // Shows one of the program's own dialogs modally; returns its modal result.
    virtual int ShowModal(TDialog& dialog) = 0;
    // Hands a document, address or program to the shell's "open" verb
    // (hyperlinks, Knowledge Base articles, the uninstall program) with the
    // show state ShowCommand; returns the shell's result, which is above 32
    // when the shell took it.
    virtual INT_PTR ShellOpen(HWND owner, const std::string& target,
                              const std::string& parameters = {},
                              int showCommand = SW_SHOWNORMAL) = 0;
};

// The real dialogs of the platform.
class TSystemPrompts : public TPrompts {
public:
    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT flags) override;
    bool SaveFile(HWND owner, TSaveFileRequest& request) override;
    bool BrowseComputer(HWND owner, TBrowseComputerRequest& request) override;
    bool BrowseFolder(HWND owner, TBrowseFolderRequest& request) override;
    int ShowModal(TDialog& dialog) override;
    INT_PTR ShellOpen(HWND owner, const std::string& target, const std::string& parameters,
                      int showCommand) override;
};

// The prompts in use: the system's unless a TPromptsOverride is alive.
TPrompts& Prompts();

// Puts other prompts in place for the life of the object (tests).
class TPromptsOverride {
public:
    explicit TPromptsOverride(TPrompts& prompts);
    ~TPromptsOverride();
    TPromptsOverride(const TPromptsOverride&) = delete;
    TPromptsOverride& operator=(const TPromptsOverride&) = delete;

private:
    TPrompts* FPrevious;
};
