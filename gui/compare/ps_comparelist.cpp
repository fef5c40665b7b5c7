#include "ps_comparelist.h"

#include "FormHelpers.h"
#include "Prompts.h"
#include "ResString.h"
#include "TargetList.h"
#include "TextFileWin.h"
#include "ps_compare_res.h"

bool ReadListFile(const std::string& path, std::string& text)
{
    return ReadWholeFile(path, text);
}

TfrmCompareList::TfrmCompareList(HWND owner)
{
    CreateDialogFromTemplate(IDD_COMPARETARGETS, owner);
    SetDefaultButton(IDC_BTNCOMPAREOK);
    SetCancelButton(IDC_BTNCOMPARECANCEL);
    SetButtonResult(IDC_BTNCOMPAREOK, IDOK);
    SetButtonResult(IDC_BTNCOMPARECANCEL, IDCANCEL);
}

void TfrmCompareList::FormShow()
{
    FillList();
    SetWindowTextString(Item(IDC_EDTTARGET), "");
}

void TfrmCompareList::FillList()
{
    const HWND list = Item(IDC_LSTTARGETS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : Lines)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// Each target once, as the list file would name it.
void TfrmCompareList::AddLine(const std::string& text)
{
    std::vector<TCompareTarget> targets;
    for (const std::string& line : Lines)
        AddTarget(targets, TargetOfText(line), false);
    const TCompareTarget target = TargetOfText(text);
    if (AddTarget(targets, target, false)) {
        Lines.push_back(TextOfTarget(target));
        FillList();
    }
}

bool TfrmCompareList::Command(int id, int code, HWND control)
{
    switch (id) {
    case IDC_BTNADDTARGET: btnAddTargetClick(); return true;
    case IDC_BTNBROWSECOMPUTER: btnBrowseComputerClick(); return true;
    case IDC_BTNADDOFFLINE: btnAddOfflineClick(); return true;
    case IDC_BTNREMOVETARGET: btnRemoveTargetClick(); return true;
    case IDC_BTNLOADLIST: btnLoadListClick(); return true;
    case IDC_BTNSAVELIST: btnSaveListClick(); return true;
    default: return TDialog::Command(id, code, control);
    }
}

void TfrmCompareList::btnAddTargetClick()
{
    const std::string text = GetWindowTextString(Item(IDC_EDTTARGET));
    if (ReadListLines(text).empty())
        return;
    AddLine(text);
    SetWindowTextString(Item(IDC_EDTTARGET), "");
}

void TfrmCompareList::btnBrowseComputerClick()
{
    TBrowseComputerRequest request;
    request.Title = LoadResString(IDS_COMPAREBROWSECOMPUTER);
    if (Prompts().BrowseComputer(FHandle, request) && !request.Computer.empty())
        AddLine(TextOfTarget(TargetOfText("\\\\" + request.Computer)));
}

void TfrmCompareList::btnAddOfflineClick()
{
    TBrowseFolderRequest request;
    request.Title = LoadResString(IDS_COMPAREBROWSEOFFLINE);
    if (Prompts().BrowseFolder(FHandle, request) && !request.Folder.empty())
        AddLine(request.Folder);
}

void TfrmCompareList::btnRemoveTargetClick()
{
    const LRESULT index = SendMessageA(Item(IDC_LSTTARGETS), LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= Lines.size())
        return;
    Lines.erase(Lines.begin() + index);
    FillList();
}

bool TfrmCompareList::AskFile(const std::string& title, std::string& fileName)
{
    TSaveFileRequest request;
    request.Title = title;
    request.Filter = LoadResString(IDS_COMPARELISTFILTER);
    request.DefaultExt = "txt";
    request.InitialDir = Directory;
    request.FileName = fileName;
    if (!Prompts().SaveFile(FHandle, request))
        return false;
    fileName = request.FileName;
    return true;
}

void TfrmCompareList::btnLoadListClick()
{
    std::string fileName, text;
    if (!AskFile(LoadResString(IDS_COMPARELISTTITLE), fileName))
        return;
    if (!ReadListFile(fileName, text)) {
        Prompts().MessageBox(FHandle, FormatResString(IDS_COMPAREFILEERROR, {fileName}),
                             LoadResString(IDS_COMPARELISTTITLE), MB_OK | MB_ICONERROR);
        return;
    }
    Lines.clear();
    for (const std::string& line : ReadListLines(text))
        AddLine(line);
    FillList();
}

void TfrmCompareList::btnSaveListClick()
{
    std::string fileName;
    if (!AskFile(LoadResString(IDS_COMPARELISTTITLE), fileName))
        return;
    if (!WriteWholeFile(fileName, WriteListLines(Lines)))
        Prompts().MessageBox(FHandle, FormatResString(IDS_COMPARESAVEERROR, {fileName}),
                             LoadResString(IDS_COMPARELISTTITLE), MB_OK | MB_ICONERROR);
}
