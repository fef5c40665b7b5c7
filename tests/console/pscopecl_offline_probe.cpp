// The Windows pscopecl's run with the user's "Time format" set to the Linux
// program's default, on a private registry so that nothing of the prefix's
// changes: what the comparison with the native program runs under Wine.
#include <windows.h>

#include <string>
#include <vector>

#include "ConsoleMain.h"
#include "PrivateRegistry.h"

int _dowildcard = 0;

int main(int argc, char* argv[])
{
    PrivateRegistry registry;
    WriteSz(HKEY_CURRENT_USER, "Software\\Brightwater\\Patchscope", "Time format",
            "yyyy-mm-dd hh:nn:ss");
    THandleLineWriter output(GetStdHandle(STD_OUTPUT_HANDLE));
    return RunConsole(std::vector<std::string>(argv + 1, argv + argc), output);
}
