// pscopecl: the hotfixes of the local or a named computer on standard output.
#include <windows.h>

#include <string>
#include <vector>

#include "ConsoleMain.h"

// The arguments are taken as typed: "/?" must not be expanded as a wildcard.
int _dowildcard = 0;

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    THandleLineWriter output(GetStdHandle(STD_OUTPUT_HANDLE));
    THandleLineWriter warnings(GetStdHandle(STD_ERROR_HANDLE));
    return RunConsole(args, output, warnings);
}
