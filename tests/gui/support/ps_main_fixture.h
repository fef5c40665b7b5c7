#pragma once
// The main window on the virtual display, in a private registry, with
// scripted prompts: what the tests of the frame and of the loading share.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "PrivateRegistry.h"
#include "TestFiles.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "ps_dialogs_res.h"
#include "ps_main.h"
#include "ps_mainres_res.h"
#include "ps_query.h"

inline const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline const std::string kHotfixKey = kCurrentVersion + "\\Hotfix";
inline const std::string kSP4HotfixKey = kCurrentVersion + "\\SP4\\Hotfix";
inline const std::string kSettingsPath = "Software\\Brightwater\\Patchscope";
// Taken before any private registry hides the real one: the system reads the
// computer's name from HKEY_LOCAL_MACHINE.
inline const std::string kComputerName = GetLocalComputerName();

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Fixed texts for the dates, whatever the locale.
        WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Time format", "yyyy-mm-dd hh:nn:ss");
        WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", "Service Pack 3");
        for (const char* key : {"ComputerName", "ActiveComputerName"})
            WriteSz(HKEY_LOCAL_MACHINE,
                    std::string("System\\CurrentControlSet\\Control\\ComputerName\\") + key,
                    "ComputerName", kComputerName);
        ASSERT_FALSE(LocalName().empty());
    }

    void TearDown() override { Close(); }

    // A hotfix key with its description and its "File 1" subkey.
    void AddHotfix(const std::string& id, const std::string& description = "A fix",
                   const std::string& key = kHotfixKey, bool withFile1 = true)
    {
        WriteSz(HKEY_LOCAL_MACHINE, key + "\\" + id, "Fix Description", description);
        if (withFile1)
            WriteSz(HKEY_LOCAL_MACHINE, key + "\\" + id + "\\File 1", "Name", "x.dll");
    }

    // The uninstall directory of a hotfix on this computer.
    ScratchDir& AddUninstallDir(const std::string& id)
    {
        dirs.push_back(std::make_unique<ScratchDir>(WindowsDirectory() + "$NtUninstall" + id + "$"));
        return *dirs.back();
    }

    // Creates the main window and its question form and shows it, which
    // loads the list of the computer on the command line.
    void Start(std::vector<std::string> parameters = {})
    {
        main = std::make_unique<TfrmMain>(std::move(parameters));
        query = std::make_unique<TfrmQuerySP4>(main->Handle());
        main->SetForms(nullptr, query.get());
        main->Show(SW_SHOWNORMAL);
        PumpMessages(50);
    }

    void Close()
    {
        query.reset();
        main.reset();
        PumpMessages();
    }

    void Command(int id)
    {
        SendMessageA(main->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        PumpMessages(20);
    }

    // The answer to the Service Pack 4 question: a choice and OK.
    void AnswerSP4(int choice)
    {
        prompts.DialogScripts.push_back([choice](TDialog& dialog) {
            static_cast<TfrmQuerySP4&>(dialog).SetChoice(choice);
            dialog.SetModalResult(IDOK);
        });
    }

    // A computer typed into the computer box and Enter.
    void TypeComputer(const std::string& name)
    {
        SetWindowTextA(main->ComputerBox(), name.c_str());
        PressKey(VK_RETURN, GetWindow(main->ComputerBox(), GW_CHILD));
        PumpMessages(20);
    }
    // What a click on a column header sends the main window.
    void ClickHeader(int column) { ClickListHeader(List(), column); }

    HWND List() const { return main->ListHandle(); }
    int RowCount() const { return ListView_GetItemCount(List()); }
    std::string Cell(int row, int column) const
    {
        char text[1024] = {};
        ListView_GetItemText(List(), row, column, text, sizeof text - 1);
        return text;
    }
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(); ++row)
            texts.push_back(Cell(row, column));
        return texts;
    }
    void Select(int row)
    {
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        main->UpdateCommands();
    }
    std::string Status(int panel) const
    {
        char text[1024] = {};
        if (LOWORD(SendMessageA(main->StatusBar(), SB_GETTEXTLENGTHA, panel, 0)) < sizeof text)
            SendMessageA(main->StatusBar(), SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text));
        std::string result = text;
        return !result.empty() && result[0] == '\t' ? result.substr(1) : result;
    }
    bool MenuEnabled(int id) const
    {
        return !(GetMenuState(GetMenu(main->Handle()), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    bool PopupEnabled(int id) const
    {
        return !(GetMenuState(main->PopupMenu(), id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    }
    bool ButtonEnabled(int id) const
    {
        return SendMessageA(main->Toolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    std::string LocalName() const { return GetLocalComputerName(); }

    PrivateRegistry registry;
    TScriptedPrompts prompts;
    std::vector<std::unique_ptr<ScratchDir>> dirs;
    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmQuerySP4> query;
};
