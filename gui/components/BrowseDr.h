#pragma once
// The shell's folder browser, rooted at the network neighbourhood and
// restricted to computers, with an edit box in which a name can be typed.
// The program runs it through the prompt seam (TSystemPrompts::BrowseComputer).
#include <windows.h>

#include <string>

class TBrowseComputerDialog {
public:
    std::string Title;   // the text above the tree; none when empty

    // Runs the dialog modally; true when the user confirmed a computer, whose
    // name (as the shell or the user gave it, with or without leading
    // backslashes) is then in ComputerName.
    bool Execute(HWND owner);
    const std::string& ComputerName() const { return FComputerName; }

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM param, LPARAM data);

    std::string FComputerName;
    std::string FTypedName;   // a typed name that names no browsed computer
};

// The shell's folder browser over the whole namespace, file-system folders
// only, opened on Folder when it names one: true when the user confirmed a
// folder, whose path is then in Folder.
bool BrowseFileSystemFolder(HWND owner, const std::string& title, std::string& folder);
