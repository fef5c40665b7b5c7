// The program entry of the windowed program.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Prompts.h"
#include "Window.h"
#include "ps_about.h"
#include "ps_main.h"
#include "ps_mainres_res.h"
#include "ps_opts.h"
#include "ps_query.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        Application().Title = LoadResString(IDS_APPTITLE);
        std::vector<std::string> parameters;
        for (int i = 1; i < __argc; ++i)
            parameters.emplace_back(__argv[i]);

        // Created in this order and reused until the program ends; the
        // main window comes first and becomes the main form.
        TfrmMain frmMain(parameters);
        TfrmAbout frmAbout(frmMain.Handle());
        TfrmQuerySP4 frmQuerySP4(frmMain.Handle());
        TfrmOptions frmOptions(frmMain.Handle());
        frmMain.SetForms(&frmAbout, &frmQuerySP4, &frmOptions);

        frmMain.Show(showCommand);
        return Application().Run();
    } catch (const std::exception& error) {
        Application().ShowException(error);
    }
    return 1;
}
