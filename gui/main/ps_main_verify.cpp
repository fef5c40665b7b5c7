// The main window's verification command: one verification window per
// computer, opened for the computer the rows came from.
#include "ps_main.h"

#include <algorithm>

#include "ps_verify.h"

void TfrmMain::mnuVerifyClick()
{
    if (!FControlsEnabled || !FTargetShown)
        return;
    for (const auto& open : FVerifyForms)
        if (open->ComputerName == FListComputer && open->Handle()) {
            if (IsIconic(open->Handle()))
                ShowWindow(open->Handle(), SW_RESTORE);
            SetForegroundWindow(open->Handle());
            return;
        }
    FVerifyForms.push_back(std::make_unique<TfrmVerify>(
        FHandle, *FOptions, [this](bool enabled) { EnableControls(enabled); }));
    TfrmVerify& form = *FVerifyForms.back();
    form.OnDestroyed = [this](TfrmVerify& destroyed) { VerifyWindowDestroyed(destroyed); };
    form.ComputerName = FListComputer;
    // The scan runs now; the window may be closed, and the object freed,
    // before Show returns.
    form.Show();
}

void TfrmMain::VerifyWindowDestroyed(TfrmVerify& form)
{
    const auto owned =
        std::find_if(FVerifyForms.begin(), FVerifyForms.end(),
                     [&](const auto& candidate) { return candidate.get() == &form; });
    if (owned != FVerifyForms.end())
        FVerifyForms.erase(owned);
}

std::vector<TfrmVerify*> TfrmMain::VerifyWindows() const
{
    std::vector<TfrmVerify*> open;
    for (const auto& form : FVerifyForms)
        open.push_back(form.get());
    return open;
}
