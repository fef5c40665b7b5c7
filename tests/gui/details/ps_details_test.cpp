// The details window on private data: uninstall directories below the
// prefix's Windows directory, a private registry, scripted prompts.
#include "ps_details.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "HotfixCache.h"
#include "PrivateRegistry.h"
#include "TestFiles.h"
#include "UserOpts.h"
#include "components/ExtListView.h"
#include "ps_details_res.h"
#include "ps_dialogs_res.h"
#include "ps_main.h"
#include "ps_mainres_res.h"
#include "ps_progress.h"

using namespace std::string_literals;
using Texts = std::vector<std::string>;

namespace {

const std::string kSettingsPath = "Software\\Brightwater\\Patchscope";
const std::string kCachePath = kSettingsPath + "\\Cache";

// A test library with a version resource ("4.0.1381.33", "Windows NT BASE
// API Client DLL"), padded to Size bytes.
std::string VersionedFile(std::size_t size)
{
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
    std::string bytes =
        ReadWholeFile(path.substr(0, path.find_last_of('\\') + 1) + "..\\data\\version_0409.dll");
    if (bytes.size() < size)
        bytes.resize(size, '\0');
    return bytes;
}

// Replaces a text of a version resource (UTF-16) in place; the size stays.
void PatchVersionText(std::string& bytes, const std::string& from, const std::string& to)
{
    auto wide = [](const std::string& text) {
        std::string result;
        for (char c : text)
            result += std::string{c, '\0'};
        return result;
    };
    const std::size_t at = bytes.find(wide(from));
    ASSERT_NE(at, std::string::npos) << from;
    const std::string replacement = wide(to);
    bytes.replace(at, replacement.size(), replacement);
}

Texts LastTwo(const Texts& texts) { return Texts(texts.end() - 2, texts.end()); }

void SetHidden(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN); }

void MakeSparseFile(const std::string& path, LONGLONG size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

void SetWriteTime(const std::string& path, const SYSTEMTIME& localTime)
{
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&localTime, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
}

// Names of the files in Directory in the order the file system lists them,
// read here without the window's code.
Texts ListedOrder(const std::string& directory)
{
    Texts names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Watches the messages the scan sends to the progress window's file name:
// OnFile runs once per file, inside the scan, with the file's number from 1.
class TScanWatch {
public:
    explicit TScanWatch(std::function<void(int file)> onFile) : FOnFile(std::move(onFile))
    {
        Current() = this;
        FHook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
    }
    ~TScanWatch()
    {
        UnhookWindowsHookEx(FHook);
        Current() = nullptr;
    }
    TScanWatch(const TScanWatch&) = delete;
    TScanWatch& operator=(const TScanWatch&) = delete;

    Texts Files;              // the names the progress window showed
    HWND Progress = nullptr;  // the progress window, while it exists

private:
    static TScanWatch*& Current()
    {
        static TScanWatch* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        TScanWatch* watch = Current();
        if (code == HC_ACTION && watch && call.message == WM_SETTEXT &&
            GetDlgCtrlID(call.hwnd) == IDC_LBLFILENAME &&
            TextOf(GetParent(call.hwnd)) == "Processing files") {
            watch->Progress = GetParent(call.hwnd);
            watch->Files.push_back(reinterpret_cast<const char*>(call.lParam));
            if (watch->FOnFile)
                watch->FOnFile(static_cast<int>(watch->Files.size()));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    std::function<void(int)> FOnFile;
    HHOOK FHook = nullptr;
};

}  // namespace

class DetailsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Fixed texts for the dates, whatever the locale.
        WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Time format", "yyyy-mm-dd hh:nn:ss");
        WriteSz(HKEY_CURRENT_USER, kSettingsPath + "\\Details", "Time format", "dd.mm.yyyy hh:nn");
        options = std::make_unique<TUserOptions>();
        options->Load();
        // Every file shown, so that TScanWatch follows the scan file by file.
        TfrmProgress::RepaintInterval = 0;
    }
    void TearDown() override
    {
        window.reset();
        PumpMessages();
        TfrmProgress::RepaintInterval = 50;
    }

    ScratchDir& HotfixDir()
    {
        dirs.push_back(std::make_unique<ScratchDir>(WindowsDirectory() + "$NtUninstall" + id + "$"));
        return *dirs.back();
    }

    // Creates the window as the main window does, and shows it (which scans).
    void Open(const std::string& servicePackCaption = {}, HWND owner = nullptr,
              std::function<void(bool)> enableControls = {})
    {
        enableCalls.clear();
        if (!enableControls)
            enableControls = [this](bool enabled) { enableCalls.push_back(enabled); };
        window = std::make_unique<TfrmDetails>(owner, *options, enableControls);
        window->OnDestroyed = [this](TfrmDetails& destroyed) {
            EXPECT_EQ(&destroyed, window.get());
            events.push_back("destroyed");
            window.reset();
        };
        if (servicePackCaption.empty()) {
            window->HotfixID = id;
            window->Description = "Fixes the kernel";
        } else {
            window->SetServicePackLayout(servicePackCaption);
        }
        window->Show();
        events.push_back("shown");
        PumpMessages(20);
    }

    HWND List() const { return window->FileList().Handle(); }
    HWND Control(int id) const { return GetDlgItem(window->Handle(), id); }
    int RowCount() const { return ListView_GetItemCount(List()); }
    std::string Cell(int row, int column) const
    {
        char text[1024] = {};
        ListView_GetItemText(List(), row, column, text, sizeof text - 1);
        return text;
    }
    Texts Row(int row) const
    {
        Texts texts;
        for (int column = 0; column < 5; ++column)
            texts.push_back(Cell(row, column));
        return texts;
    }
    Texts Column(int column) const
    {
        Texts texts;
        for (int row = 0; row < RowCount(); ++row)
            texts.push_back(Cell(row, column));
        return texts;
    }
    void ClickHeader(int column) { ClickListHeader(List(), column); }
    RegValue CacheValue() const { return ReadRawValue(HKEY_LOCAL_MACHINE, kCachePath, id); }
    std::string DetailsSetting(const std::string& name) const
    {
        return ReadRawValue(HKEY_CURRENT_USER, kSettingsPath + "\\Details", name).Data;
    }

    PrivateRegistry registry;
    TScriptedPrompts prompts;
    std::unique_ptr<TUserOptions> options;
    const std::string id = "Q9" + ProcessTag();
    std::vector<std::unique_ptr<ScratchDir>> dirs;
    std::unique_ptr<TfrmDetails> window;
    std::vector<bool> enableCalls;
    Texts events;
};

TEST_F(DetailsTest, HotfixRowsHeaderSummaryCacheAndASecondLookAnsweredFromTheCache)
{
    const SYSTEMTIME stamp = LocalTime(2001, 2, 3, 4, 5, 6);
    ScratchDir& dir = HotfixDir();
    std::string library = VersionedFile(100000);
    dir.AddFile("hotfix.inf", LocalTime(1999, 1, 2, 3, 4, 6), "[Version]");
    dir.AddFile("uninst.inf", LocalTime(1999, 5, 6, 7, 8, 10), "[Version]");
    dir.AddFile("ntbase.dll", stamp, library);
    dir.AddFile("help.hlp", stamp, library);   // not a scanned extension
    dir.AddFile("empty.txt", stamp, "");
    // Not the installer: names are compared exactly. (The file systems ignore
    // case, so a directory holds only one of the two.)
    dir.AddFile("HOTFIX.EXE", stamp, "abc");
    dir.AddFile("hidden.sys", stamp, std::string(1234, 'x'));
    SetHidden(dir.Path() + "hidden.sys");
    MakeSparseFile(dir.Path() + "huge.cab", 5368709120LL);
    SetWriteTime(dir.Path() + "huge.cab", stamp);
    dir.AddSubdirectory("sub");
    dir.AddFile("sub\\inner.dll", stamp, library);
    // A value of the wrong type where the listing should be: no listing.
    WriteDword(HKEY_LOCAL_MACHINE, kCachePath, id, 1);

    {
        TScanWatch watch({});
        Open();
        EXPECT_EQ(watch.Files.size(), 6u);   // the progress window showed each listed file
    }
    ASSERT_TRUE(window);
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(enableCalls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_EQ(window->Caption(), "Details for " + id);
    EXPECT_EQ(TextOf(Control(IDC_EDTDESCRIPTION)), "Fixes the kernel");
    EXPECT_EQ(TextOf(Control(IDC_EDTDATE)), "06.05.1999 07:08");
    EXPECT_EQ(TextOf(Control(IDC_EDTHOTFIXDATE)), "02.01.1999 03:04");
    EXPECT_EQ(TextOf(Control(IDC_LBLSUMMARY2)), "6 files, 5,368,910,357 bytes");
    EXPECT_EQ(TextOf(Control(IDC_LBLFILES)), "Replaced files:");
    EXPECT_EQ(window->VersionResourcesRead(), 3);   // ntbase.dll, HOTFIX.EXE, hidden.sys

    // Sorted by name, letter case ignored.
    const std::string when = "2001-02-03 04:05:06";
    ASSERT_EQ(RowCount(), 6);
    EXPECT_EQ(Row(0), (Texts{"empty.txt", when, "(unknown)", "(unknown)", "(unknown)"}));
    EXPECT_EQ(Row(1), (Texts{"help.hlp", when, "100,000", "(unknown)", "(unknown)"}));
    EXPECT_EQ(Row(2), (Texts{"hidden.sys", when, "1,234", "(unknown)", "(unknown)"}));
    EXPECT_EQ(Row(3), (Texts{"HOTFIX.EXE", when, "3", "(unknown)", "(unknown)"}));
    EXPECT_EQ(Row(4), (Texts{"huge.cab", when, "5,368,709,120", "(unknown)", "(unknown)"}));
    EXPECT_EQ(Row(5), (Texts{"ntbase.dll", when, "100,000", "4.0.1381.33",
                             "Windows NT BASE API Client DLL"}));

    // The stored listing, in the order the file system lists the files.
    const std::map<std::string, std::string> stored{
        {"ntbase.dll", "100000\0" "4.0.1381.33\0" "Windows NT BASE API Client DLL"s},
        {"help.hlp", "100000\0-\0-"s},
        {"empty.txt", "0\0-\0-"s},
        {"HOTFIX.EXE", "3\0-\0-"s},
        {"hidden.sys", "1234\0-\0-"s},
        {"huge.cab", "5368709120\0-\0-"s}};
    std::string expected;
    for (const std::string& name : ListedOrder(dir.Path()))
        if (stored.count(name))
            expected += name + "\0" "36925.170208\0"s + stored.at(name) + '\0';
    expected += '\0';
    EXPECT_EQ(CacheValue().Type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(CacheValue().Data, expected);
    window.reset();

    // The version resource changes behind the cache's back, size and time
    // kept: the second look reads no version resource and shows what it knew.
    PatchVersionText(library, "4.0.1381.33", "4.0.1381.99");
    dir.AddFile("ntbase.dll", stamp, library);
    Open();
    EXPECT_EQ(window->VersionResourcesRead(), 0);
    EXPECT_EQ(Cell(5, 3), "4.0.1381.33");
    window.reset();

    // Only the file whose time stamp changed is read again.
    SetWriteTime(dir.Path() + "ntbase.dll", LocalTime(2001, 2, 3, 4, 5, 8));
    Open();
    EXPECT_EQ(window->VersionResourcesRead(), 1);
    EXPECT_EQ(Cell(5, 3), "4.0.1381.99");
    window.reset();

    // Without caching every scanned extension is read and nothing is stored.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCachePath.c_str());
    options->UseCache = false;
    Open();
    EXPECT_EQ(window->VersionResourcesRead(), 3);
    EXPECT_EQ(RowCount(), 6);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kCachePath));
}

TEST_F(DetailsTest, ServicePackViewListsTheInstallerFilesButCountsOnlyTheOthers)
{
    ScratchDir dir(WindowsDirectory() + "$NtServicePackUninstall$");
    dir.AddFile("uninst.inf", std::string(10, 'u'));
    dir.AddFile("hotfix.inf", std::string(20, 'h'));
    dir.AddFile("hotfix.exe", std::string(40, 'e'));
    dir.AddFile("a.txt", std::string(30, 'a'));
    TScanWatch watch({});
    Open("Service Pack 3");

    EXPECT_TRUE(watch.Files.empty());   // one counted file: no progress window
    EXPECT_EQ(window->Caption(), "Service Pack 3");
    EXPECT_EQ(Column(0), (Texts{"a.txt", "hotfix.inf", "uninst.inf"}));
    EXPECT_EQ(TextOf(Control(IDC_LBLSUMMARY2)), "1 file, 60 bytes");
    for (int hidden : {IDC_LBLDESCRIPTION, IDC_EDTDESCRIPTION, IDC_LBLDATE, IDC_EDTDATE,
                       IDC_LBLHOTFIXDATE, IDC_EDTHOTFIXDATE})
        EXPECT_FALSE(IsWindowVisible(Control(hidden))) << hidden;
    RECT list{};
    GetWindowRect(List(), &list);
    MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.top, 118 - (92 - 29));
    EXPECT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, kCachePath, "Service Pack").Exists);
}

TEST_F(DetailsTest, ColumnsSortByTheirDataSettingsRerenderAndPlacementSurvivesAMaximizedClose)
{
    ScratchDir& dir = HotfixDir();
    std::string other = VersionedFile(100000);
    // "4.0.1381.4": the text ends early; the resource keeps its size.
    PatchVersionText(other, "4.0.1381.33", "4.0.1381.4\0"s);
    PatchVersionText(other, "Windows NT", "Aindows NT");
    dir.AddFile("a.dll", LocalTime(2003, 1, 1), VersionedFile(120000));
    dir.AddFile("B.dll", LocalTime(1975, 1, 1), other);   // before 1980: no time stamp
    dir.AddFile("c.txt", LocalTime(2002, 1, 1), "");
    dir.AddFile("d.txt", LocalTime(2001, 1, 1), std::string(9, 'd'));
    dir.AddFile("e.txt", LocalTime(2000, 1, 1), std::string(10, 'e'));
    Open();

    EXPECT_EQ(Column(0), (Texts{"a.dll", "B.dll", "c.txt", "d.txt", "e.txt"}));
    ClickHeader(1);
    EXPECT_EQ(Column(0), (Texts{"B.dll", "e.txt", "d.txt", "c.txt", "a.dll"}));
    EXPECT_EQ(Cell(0, 1), "(unknown)");
    ClickHeader(2);
    EXPECT_EQ(Column(0), (Texts{"c.txt", "d.txt", "e.txt", "B.dll", "a.dll"}));
    ClickHeader(2);
    EXPECT_EQ(Column(0), (Texts{"a.dll", "B.dll", "e.txt", "d.txt", "c.txt"}));
    ClickHeader(3);   // texts, not numbers: ".33" before ".4"
    EXPECT_EQ(LastTwo(Column(0)), (Texts{"a.dll", "B.dll"}));
    EXPECT_EQ(Cell(4, 3), "4.0.1381.4");
    ClickHeader(4);
    EXPECT_EQ(LastTwo(Column(0)), (Texts{"B.dll", "a.dll"}));
    ClickHeader(0);
    EXPECT_EQ(Column(0), (Texts{"a.dll", "B.dll", "c.txt", "d.txt", "e.txt"}));

    // The settings change: sizes from the byte threshold up in kB, another
    // text for unknown values; nothing is scanned again.
    options->DisplayKilobytes = true;
    options->DefaultText = "?";
    PostMessageA(window->Handle(), WM_OPTIONSCHANGED, 0, 0);
    PumpMessages(20);
    EXPECT_EQ(Column(2), (Texts{"117 kB", "98 kB", "?", "9", "10"}));
    EXPECT_EQ(Cell(1, 1), "?");
    EXPECT_EQ(TextOf(Control(IDC_LBLSUMMARY2)), "5 files, 215 kB");

    // Placement: normal bounds stored, then a maximized close keeps them.
    SetWindowPos(window->Handle(), nullptr, 50, 60, 640, 480, SWP_NOZORDER);
    PressKey(VK_ESCAPE, List());
    PumpMessages(20);
    ASSERT_FALSE(window);
    EXPECT_EQ(DetailsSetting("Left"), "50\0"s);
    EXPECT_EQ(DetailsSetting("Height"), "480\0"s);
    EXPECT_EQ(DetailsSetting("Maximized"), "\0\0\0\0"s);
    Open();
    RECT bounds{};
    GetWindowRect(window->Handle(), &bounds);
    EXPECT_EQ(bounds.left, 50);
    EXPECT_EQ(bounds.bottom - bounds.top, 480);
    ShowWindow(window->Handle(), SW_MAXIMIZE);
    SendMessageA(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(20);
    ASSERT_FALSE(window);
    EXPECT_EQ(DetailsSetting("Maximized"), "\1\0\0\0"s);
    EXPECT_EQ(DetailsSetting("Left"), "50\0"s);
    EXPECT_EQ(DetailsSetting("Width"), "640\0"s);
    Open();
    EXPECT_TRUE(IsZoomed(window->Handle()));
    ShowWindow(window->Handle(), SW_RESTORE);
    GetWindowRect(window->Handle(), &bounds);
    EXPECT_EQ(bounds.left, 50);
    EXPECT_EQ(bounds.right - bounds.left, 640);
    // A minimized window stands off the screen: its normal bounds are stored.
    ShowWindow(window->Handle(), SW_MINIMIZE);
    SendMessageA(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(20);
    ASSERT_FALSE(window);
    EXPECT_EQ(DetailsSetting("Left"), "50\0"s);
    EXPECT_EQ(DetailsSetting("Width"), "640\0"s);
    EXPECT_EQ(DetailsSetting("Maximized"), "\0\0\0\0"s);
}

TEST_F(DetailsTest, CancelAfterThreeOfTenFilesShowsWhatWasListed)
{
    ScratchDir& dir = HotfixDir();
    for (int file = 0; file < 10; ++file)
        dir.AddFile(std::to_string(file) + ".txt", std::string(100, 'f'));
    // The click arrives while the fourth file is shown, before it is listed.
    TScanWatch watch([&watch](int file) {
        if (file != 4)
            return;
        HWND cancel = GetDlgItem(watch.Progress, IDC_BTNCANCEL);
        PostMessageA(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(cancel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    });
    Open();

    EXPECT_EQ(watch.Files.size(), 4u);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(TextOf(Control(IDC_LBLFILES)), "Replaced files: (incomplete)");
    EXPECT_EQ(TextOf(Control(IDC_LBLSUMMARY2)), "10 files, 300 bytes");
    EXPECT_EQ(enableCalls, (std::vector<bool>{false, true}));
    // What was found is stored: three files of five strings each.
    const std::string stored = CacheValue().Data;
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\0'), 3 * 5 + 1);
}

TEST_F(DetailsTest, ClosingOrDestroyingWindowsDuringALongScanWaitsForItsEnd)
{
    ScratchDir& dir = HotfixDir();
    for (int file = 0; file < 1000; ++file)
        dir.AddFile(std::to_string(file) + ".dll", "not a library");

    // Closing the window itself (Alt+F4, Escape) acts as Cancel, and the
    // window goes once the scan has ended.
    for (UINT message : {WM_SYSCOMMAND, WM_CHAR}) {
        events.clear();
        TScanWatch watch([this, message](int file) {
            if (file != 10)
                return;
            if (message == WM_SYSCOMMAND)
                PostMessageA(window->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                PostMessageA(List(), WM_CHAR, VK_ESCAPE, 0);
        });
        Open();
        EXPECT_LT(watch.Files.size(), 20u);
        EXPECT_FALSE(window);
        EXPECT_EQ(events, (Texts{"destroyed", "shown"}));
        EXPECT_EQ(enableCalls, (std::vector<bool>{false, true}));
    }

    // The window destroyed outright in the middle of its scan: the object
    // is handed back only once the scan is over.
    {
        events.clear();
        TScanWatch watch([this](int file) {
            if (file == 10)
                DestroyWindow(window->Handle());
        });
        Open();
        EXPECT_LT(watch.Files.size(), 20u);
        EXPECT_FALSE(window);
        EXPECT_EQ(events, (Texts{"destroyed", "shown"}));
        EXPECT_EQ(enableCalls, (std::vector<bool>{false, true}));
    }

    // The progress window belongs to the shown main window while the
    // details window is hidden (a window manager keeps it in front of that
    // one); closing the main window cancels the scan (a reload waits) and
    // closes it at once, with the details window.
    auto main = std::make_unique<TfrmMain>();
    HWND mainWindow = main->Handle();
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    {
        events.clear();
        HWND progressOwner = nullptr;
        TScanWatch watch([&](int file) {
            if (file == 5)
                progressOwner = GetWindow(watch.Progress, GW_OWNER);
            if (file == 10) {
                PostMessageA(mainWindow, WM_CLOSE, 0, 0);
                PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDM_MNUREFRESH, 0), 0);
            }
        });
        Open({}, mainWindow, [&](bool enabled) {
            enableCalls.push_back(enabled);
            main->EnableControls(enabled);
        });
        EXPECT_EQ(progressOwner, mainWindow);
        EXPECT_LT(watch.Files.size(), 20u);
        EXPECT_EQ(enableCalls, (std::vector<bool>{false, true}));
    }
    PumpUntil([&] { return !IsWindow(mainWindow); });
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_FALSE(window);
    EXPECT_EQ(events, (Texts{"destroyed", "shown"}));
    EXPECT_TRUE(prompts.Messages.empty());
}

TEST_F(DetailsTest, AVersionThatCouldNotBeReadOrAFileWithoutTimeStampIsReadAgain)
{
    ScratchDir& dir = HotfixDir();
    dir.AddFile("locked.dll", LocalTime(2001, 2, 3), VersionedFile(100000));
    dir.AddFile("old.dll", LocalTime(1975, 1, 1), VersionedFile(120000));   // no time stamp
    HANDLE lock = CreateFileA((dir.Path() + "locked.dll").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Open();
    CloseHandle(lock);
    EXPECT_EQ(window->VersionResourcesRead(), 2);
    EXPECT_EQ(Row(0), (Texts{"locked.dll", "2001-02-03 00:00:00", "100,000", "(unknown)", "(unknown)"}));
    EXPECT_EQ(CacheValue().Data.find("locked.dll"), std::string::npos);
    window.reset();

    // Read again: the one that failed once, the one without a time stamp always.
    for (int read : {2, 1}) {
        Open();
        EXPECT_EQ(window->VersionResourcesRead(), read);
        EXPECT_EQ(Column(3), (Texts{"4.0.1381.33", "4.0.1381.33"}));
        window.reset();
    }
}
