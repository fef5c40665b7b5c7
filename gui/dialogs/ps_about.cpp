#include "ps_about.h"

#include "ps_dialogs_res.h"

TfrmAbout::TfrmAbout(HWND owner)
{
    CreateDialogFromTemplate(IDD_ABOUT, owner);
    // The designed size whatever the font that the template's units follow.
    SetClientSizeInPixels(375, 195);
    // The icon keeps its own size, 32 by 32.
    SetWindowPos(Item(IDC_IMGICON), nullptr, 0, 0, 32, 32, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    urlEmail.Attach(Item(IDC_URLEMAIL));
    urlEmail.SetLinkAddress("mailto:" + urlEmail.Caption());
    urlWebpage.Attach(Item(IDC_URLWEBPAGE));
    SetDefaultButton(IDC_BTNOK);
    SetCancelButton(IDC_BTNOK);
    SetButtonResult(IDC_BTNOK, IDOK);
}

void TfrmAbout::FormCreate()
{
    // A shared icon of the module: the system frees it.
    SendMessageA(Item(IDC_IMGICON), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(GetModuleHandleA(nullptr), PS_MAINICON)), 0);

    HWND title = Item(IDC_LBLAPPTITLE);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    font.lfHeight = font.lfHeight * 3 / 2;
    FTitleFont.reset(CreateFontIndirectA(&font));
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(FTitleFont.get()), FALSE);
}

void TfrmAbout::FormShow() { SetActiveControl(IDC_BTNOK); }
