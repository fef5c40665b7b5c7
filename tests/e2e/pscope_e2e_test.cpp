// The shipped pscope.exe with its real message boxes and dialogs, started in
// the test prefix on data of the test's own, and answered from outside as a
// user answers them.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "Driver.h"
#include "PrivateRegistry.h"
#include "TestFiles.h"
#include "ps_mainres_res.h"
#include "ps_opts_res.h"

namespace {

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kHotfixKey = kCurrentVersion + "\\Hotfix";
const std::string kUserSettings = "Software\\Brightwater\\Patchscope";
const char* const kDialogClass = "#32770";

std::string LocalName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", "Service Pack 3");
        CreateKey(HKEY_LOCAL_MACHINE, kHotfixKey);
    }

    void AddHotfix(const std::string& id, const std::string& description)
    {
        WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + id, "Fix Description", description);
        WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + id + "\\File 1", "Name", "x.dll");
    }

    // Starts the program and waits for its main window with the list of this
    // computer; false when it did not come.
    bool StartLocal()
    {
        program = std::make_unique<TProgram>();
        return FindMainWindow();
    }
    bool FindMainWindow()
    {
        main = program->WaitForWindow("Patchscope - \\\\" + LocalName() + " (local)", "TfrmMain");
        list = main ? FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
        return list && Answers(main);
    }

    // A message box of the program: its text, answered with the button.
    std::string Answer(const std::string& caption, int button)
    {
        const HWND box = program->WaitForWindow(caption, kDialogClass);
        if (!box)
            return "(no message box \"" + caption + "\")";
        const std::string text = MessageText(box);
        Press(box, button);
        WaitFor([&] { return !IsWindow(box); });
        return text;
    }

    // Waits for Condition while the program runs.
    bool WaitFor(const std::function<bool()>& condition)
    {
        WaitUntil([&] { return condition() || !program->Running(); });
        return condition();
    }

    // Closes the main window as the user would and returns the exit code.
    std::optional<DWORD> Close()
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return program->WaitForExit();
    }

    // What the tests change of the prefix's registry, given back afterwards.
    TSavedValue servicePack{HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion"};
    TSavedKey hotfixes{HKEY_LOCAL_MACHINE, kHotfixKey};
    TSavedKey servicePackHotfixes{HKEY_LOCAL_MACHINE, kCurrentVersion + "\\SP4"};
    TSavedKey machineSettings{HKEY_LOCAL_MACHINE, "Software\\Brightwater"};
    TSavedKey userSettings{HKEY_CURRENT_USER, "Software\\Brightwater"};

    std::unique_ptr<TProgram> program;
    HWND main = nullptr;
    HWND list = nullptr;
};

TEST_F(ProgramTest, UnreachableComputerIsReportedAndTheProgramGoesOn)
{
    program = std::make_unique<TProgram>("\\\\NOSUCH");
    ASSERT_TRUE(program->Started());
    EXPECT_EQ(Answer("Network error", IDOK),
              "Could not connect to the computer \\\\NOSUCH.\r\rMake sure the computer exists, is a "
              "Windows NT system and that you have the correct permissions.");
    main = program->MainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(Answers(main));
    EXPECT_EQ(Close(), 0u);
}

TEST_F(ProgramTest, WronglyTypedDescriptionIsReportedAndTheRowsBeforeItStay)
{
    AddHotfix("Q300001", "Good");
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q300002", "Fix Description", 7);
    AddHotfix("Q300003", "Never read");
    program = std::make_unique<TProgram>();
    EXPECT_EQ(Answer("Patchscope", IDOK), "Invalid data type for 'Fix Description'");
    ASSERT_TRUE(FindMainWindow());
    ASSERT_GE(program->RowCount(list), 1);
    EXPECT_EQ(program->Cell(list, 0, 0), "Q300001");
    EXPECT_EQ(program->Cell(list, 0, 1), "Good");
    EXPECT_EQ(Close(), 0u);
}

TEST_F(ProgramTest, UninstallAnsweredNoStartsNothingAndYesRunsTheHotfixsOwnInf)
{
    // Two hotfixes whose uninstall programs each leave a value of their own.
    const std::string tag = ProcessTag();
    const std::string markKey = "Software\\PatchscopeUninstalled" + tag;
    TSavedKey marks(HKEY_CURRENT_USER, markKey);
    std::vector<std::unique_ptr<ScratchDir>> dirs;
    for (const std::string suffix : {"A", "B"}) {
        const std::string id = "KB" + tag + suffix;
        AddHotfix(id, "Fix " + suffix);
        dirs.push_back(std::make_unique<ScratchDir>(WindowsDirectory() + "$NtUninstall" + id + "$"));
        dirs.back()->AddFile("uninst.inf",
                             "[Version]\r\nSignature=\"$Windows NT$\"\r\n\r\n"
                             "[DefaultInstall]\r\nAddReg=Mark\r\n\r\n"
                             "[Mark]\r\nHKCU,\"" + markKey + "\",\"" + suffix + "\",0,\"" + id +
                                 "\"\r\n");
    }
    ASSERT_TRUE(StartLocal());
    ASSERT_EQ(program->RowCount(list), 2);
    ASSERT_EQ(program->Cell(list, 0, 0), "KB" + tag + "A");

    for (int row : {0, 1}) {
        program->SelectRow(list, row);
        PickCommand(main, IDM_MNUUNINSTALL);
        EXPECT_EQ(Answer("Uninstall hotfix", row == 0 ? IDNO : IDYES),
                  "Are you sure you want to uninstall the KB" + tag + (row ? "B" : "A") +
                      " (\"Fix " + (row ? "B" : "A") + "\") hotfix?");
        EXPECT_TRUE(Answers(main));
    }
    EXPECT_TRUE(WaitFor([&] { return ReadRawValue(HKEY_CURRENT_USER, markKey, "B").Exists; }));
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, markKey, "B").Data, "KB" + tag + "B" + '\0');
    // The first one's would have come first.
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, markKey, "A").Exists);
    EXPECT_EQ(Close(), 0u);
}

TEST_F(ProgramTest, ArticleTheShellCannotOpenGivesTheWarning)
{
    AddHotfix("Q300001", "Alpha");
    WriteSz(HKEY_CURRENT_USER, kUserSettings, "Open KB article command",
            "C:\\no\\such\\directory\\q%s%s%s.htm");
    ASSERT_TRUE(StartLocal());
    program->SelectRow(list, 0);
    PickCommand(main, IDM_MNUOPENKB);
    EXPECT_EQ(Answer("Open KB Article", IDOK), "Error opening Knowledge Base article.");
    EXPECT_TRUE(Answers(main));
    EXPECT_EQ(Close(), 0u);
}

// The second save meets a file that another program holds open: the
// dialog's own question whether to replace it, then the program's error
// report, and the file keeps what the first save wrote.
TEST_F(ProgramTest, SaveAsThroughTheSystemDialogWritesThePickedFormatAndReportsAFailure)
{
    AddHotfix("Q300001", "Alpha, the first");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    const std::string file = out.Path() + "saved.csv";
    const std::string expected = "Hotfix,Description,Hotfix date,Date applied,Affected files\r\n"
                                 "Q300001,\"Alpha, the first\",(unknown),(unknown),(unknown)\r\n";
    ASSERT_TRUE(StartLocal());
    for (bool held : {false, true}) {
        std::unique_ptr<void, decltype(&CloseHandle)> holder(nullptr, CloseHandle);
        if (held)
            holder.reset(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
        PickCommand(main, IDM_MNUSAVEAS);
        const HWND dialog = program->WaitForWindow("Save As", kDialogClass);
        ASSERT_TRUE(dialog);
        const HWND types = Control(dialog, cmb1);
        HWND name = Control(dialog, edt1);
        if (!name)
            name = Control(dialog, cmb13);
        ASSERT_TRUE(types && name);
        // The CSV entry, picked as the mouse picks it: the dialog reads the
        // type at CBN_SELENDOK.
        SendMessageA(types, CB_SETCURSEL, 2, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(types));
        SetText(name, out.Path() + "saved");
        Press(dialog, IDOK);
        if (held) {
            const HWND replace = program->WaitForWindow("Save As", kDialogClass, dialog);
            ASSERT_TRUE(replace);
            Press(replace, IDYES);
            EXPECT_EQ(Answer("Patchscope", IDOK), "Cannot create file " + file);
        }
        EXPECT_TRUE(WaitFor([&] {
            return !IsWindow(dialog) && Answers(main) &&
                   GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
        }));
    }
    EXPECT_EQ(ReadWholeFile(file), expected);
    EXPECT_EQ(Close(), 0u);
}

TEST_F(ProgramTest, SettingsRefuseAnInvalidByteThresholdAndStayOpen)
{
    ASSERT_TRUE(StartLocal());
    PickCommand(main, IDM_MNUOPTIONS);
    const HWND settings = program->WaitForWindow("Settings", kDialogClass);
    ASSERT_TRUE(settings);
    SetText(Control(settings, IDC_EDTBYTETHRESHOLD), "12x");
    Press(settings, IDC_BTNOK);
    EXPECT_EQ(Answer("Options", IDOK), "The specified byte threshold is not a valid number.");
    EXPECT_TRUE(Answers(settings));
    EXPECT_TRUE(IsWindowVisible(settings));
    EXPECT_EQ(TextOf(Control(settings, IDC_EDTBYTETHRESHOLD)), "12x");
    Press(settings, IDC_BTNCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(settings) && Answers(main); }));
    EXPECT_EQ(Close(), 0u);
}

}  // namespace
