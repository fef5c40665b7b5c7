// Times LoadHotfixList of the local computer in the real main window against
// the console listing (pscopecl, started as a program) of the same computer,
// by turns, and prints the medians and their ratio.
//
//   window_bench PSCOPECL [RUNS]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "Window.h"
#include "components/ExtListView.h"
#include "ps_main.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// One run of the console listing, its output thrown away; seconds, or a
// negative value when it could not run or failed.
double RunConsoleListing(const std::string& program)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle nul(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                           nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    startup.hStdInput = nul.get();
    std::string commandLine = "\"" + program + "\"";
    PROCESS_INFORMATION info{};
    const double start = Seconds();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &info))
        return -1;
    Handle process(info.hProcess), thread(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    const double seconds = Seconds() - start;
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return code == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench PSCOPECL [RUNS]\n");
        return 2;
    }
    const std::string pscopecl = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    try {
        TfrmMain window;
        window.Show(SW_SHOWNORMAL);   // the first load, which also warms the caches
        Application().ProcessMessages();
        const int rows = window.List().ItemCount();
        if (rows == 0 || RunConsoleListing(pscopecl) < 0) {
            std::fprintf(stderr, "nothing to compare: %d rows, or pscopecl failed\n", rows);
            return 1;
        }
        std::vector<double> windowTimes, consoleTimes;
        for (int run = 0; run < runs; ++run) {
            const double start = Seconds();
            window.LoadHotfixList("");
            windowTimes.push_back(Seconds() - start);
            Application().ProcessMessages();
            consoleTimes.push_back(RunConsoleListing(pscopecl));
        }
        const double windowSeconds = Median(windowTimes);
        const double consoleSeconds = Median(consoleTimes);
        std::printf("Hotfix list of %d hotfixes, median of %d runs:\n", rows, runs);
        std::printf("  pscopecl (whole program)   %7.3f s\n", consoleSeconds);
        std::printf("  LoadHotfixList (window)    %7.3f s\n", windowSeconds);
        std::printf("  ratio window / console     %7.2f  (goal: at most 2)\n",
                    windowSeconds / consoleSeconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
