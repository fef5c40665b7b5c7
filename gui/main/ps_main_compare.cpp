// The main window's comparison command: a comparison window for a list of
// computers, which the current computer starts when no list is stored.
#include "ps_main.h"

#include <algorithm>

#include "ps_compare.h"

void TfrmMain::mnuViewCompareClick()
{
    FCompareForms.push_back(std::make_unique<TfrmCompare>(FHandle, *FOptions, FComputer));
    TfrmCompare& form = *FCompareForms.back();
    form.OnDestroyed = [this](TfrmCompare& destroyed) {
        std::erase_if(FCompareForms, [&](const auto& owned) { return owned.get() == &destroyed; });
    };
    form.Show();
}
