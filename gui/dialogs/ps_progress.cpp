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

namespace {

// The window the progress stays in front of: the scanning window, or while
// that is still hidden, the nearest shown window that owns it. An owner off
// the screen keeps nothing in front of the others (a window manager knows
// only shown windows).
HWND ShownOwner(HWND owner)
{
    while (owner && !IsWindowVisible(owner)) {
        HWND next = GetWindow(owner, GW_OWNER);
        if (!next)
            break;
        owner = next;
    }
    return owner;
}

}  // namespace

TfrmProgress::TfrmProgress(HWND owner)
{
    CreateDialogFromTemplate(IDD_PROGRESS, ShownOwner(owner));
    SetClientSizeInPixels(307, 108);
    SetDefaultButton(IDC_BTNCANCEL);
    // Esc, and Alt+F4 although there is no close box, press Cancel too: the
    // window stays until the scan has stopped.
    SetCancelButton(IDC_BTNCANCEL);
    SendMessageA(Item(IDC_PBARFILES), PBM_SETRANGE32, 0, FMaximum);
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
    FMaximum = std::max(maximum, 1);
    FPosition = std::min(FPosition, FMaximum);
    SendMessageA(Item(IDC_PBARFILES), PBM_SETRANGE32, 0, FMaximum);
    FBarPixels = -1;
    FPercentage = -1;
}

int TfrmProgress::Maximum() const { return FMaximum; }

int TfrmProgress::Position() const { return FPosition; }

void TfrmProgress::StepProgress()
{
    FPosition = std::min(FPosition + 1, FMaximum);
    ShowPosition();
}

bool TfrmProgress::StepFile(const std::string& fileName)
{
    FPosition = std::min(FPosition + 1, FMaximum);
    const DWORD now = GetTickCount();
    if (FShown && now - FShownAt < RepaintInterval)
        return false;
    FShown = true;
    FShownAt = now;
    ShowPosition();
    SetFileName(fileName);
    return true;
}

void TfrmProgress::ShowPosition()
{
    // Each message repaints its control at once: a long scan sends only those
    // that change what is seen (the bar's length in pixels, the percentage).
    HWND bar = Item(IDC_PBARFILES);
    const long long width = std::max<long long>(ClientSize(bar).cx, 1);
    const auto pixels = static_cast<int>(FPosition * width / FMaximum);
    if (pixels != FBarPixels) {
        FBarPixels = pixels;
        SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
    }
    const int percentage = RoundedPercentage(FPosition, FMaximum);
    if (percentage != FPercentage) {
        FPercentage = percentage;
        SetWindowTextString(Item(IDC_LBLPERCENTAGE), std::to_string(percentage) + "%");
    }
}

void TfrmProgress::SetFileName(const std::string& fileName)
{
    SetWindowTextString(Item(IDC_LBLFILENAME), fileName);
}
