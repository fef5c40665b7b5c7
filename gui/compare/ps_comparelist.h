#pragma once
// The list form of the comparison: the targets in a list box; a computer
// typed or picked from the network, an offline system from the folder
// browser, removing; loading and saving a list file.
#include <string>
#include <vector>

#include "Window.h"

class TfrmCompareList : public TDialog {
public:
    explicit TfrmCompareList(HWND owner);

    // The list file's lines, in order; set before showing, read after OK.
    std::vector<std::string> Lines;
    // Where the load and save dialogs start.
    std::string Directory;

protected:
    void FormShow() override;
    bool Command(int id, int code, HWND control) override;

private:
    void AddLine(const std::string& text);
    void FillList();
    void btnAddTargetClick();
    void btnBrowseComputerClick();
    void btnAddOfflineClick();
    void btnRemoveTargetClick();
    void btnLoadListClick();
    void btnSaveListClick();
    bool AskFile(const std::string& title, std::string& fileName);
};

// A list file's bytes, or false when it cannot be read.
bool ReadListFile(const std::string& path, std::string& text);
