#include "ps_progress.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ps_dialogs_res.h"

int RoundedPercentage(int position, int maximum)
{
    if (maximum <= 0)
        return 0;
    // Whole numbers only: the quotient and twice the remainder decide.
    const long long scaled = static_cast<long long>(position) * 100;
    long long quotient = scaled / maximum;
    const long long twiceRemainder = (scaled % maximum) * 2;
    if (twiceRemainder > maximum || (twiceRemainder == maximum && quotient % 2 != 0))
        ++quotient;
    return static_cast<int>(quotient);
}

TfrmProgress::TfrmProgress(HWND owner)
{
    CreateDialogFromTemplate(IDD_PROGRESS, owner);
    SetDefaultButton(IDC_BTNCANCEL);
    // Esc, and Alt+F4 although there is no close box, press Cancel too: the
    // window stays until the scan has stopped.
    SetCancelButton(IDC_BTNCANCEL);
    SendMessageA(Item(IDC_PBARFILES), PBM_SETRANGE32, 0, 100);
    SendMessageA(Item(IDC_PBARFILES), PBM_SETPOS, 0, 0);
}

bool TfrmProgress::Command(int id, int code, HWND control)
{
    switch (id) {
    case IDC_BTNCANCEL:
        if (code == BN_CLICKED)
            btnCancelClick();
        return true;
    default:
        return TDialog::Command(id, code, control);
    }
}

void TfrmProgress::btnCancelClick() { FCancelled = true; }

void TfrmProgress::SetMaximum(int maximum)
{
    SendMessageA(Item(IDC_PBARFILES), PBM_SETRANGE32, 0, std::max(maximum, 1));
}

int TfrmProgress::Maximum() const
{
    return static_cast<int>(SendMessageA(Item(IDC_PBARFILES), PBM_GETRANGE, FALSE, 0));
}

int TfrmProgress::Position() const
{
    return static_cast<int>(SendMessageA(Item(IDC_PBARFILES), PBM_GETPOS, 0, 0));
}

void TfrmProgress::StepProgress()
{
    const int maximum = Maximum();
    const int position = std::min(Position() + 1, maximum);
    SendMessageA(Item(IDC_PBARFILES), PBM_SETPOS, static_cast<WPARAM>(position), 0);
    SetWindowTextString(Item(IDC_LBLPERCENTAGE),
                        std::to_string(RoundedPercentage(position, maximum)) + "%");
}

void TfrmProgress::SetFileName(const std::string& fileName)
{
    SetWindowTextString(Item(IDC_LBLFILENAME), fileName);
}
