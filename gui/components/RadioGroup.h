#pragma once
// A radio group of a dialog template: a group box and the radio buttons that
// follow it in the template (the first of them starts a group, the control
// after the last starts the next one).
#include <windows.h>

#include <vector>

class TRadioGroup {
public:
    TRadioGroup() = default;
    explicit TRadioGroup(HWND groupBox) { Attach(groupBox); }
    void Attach(HWND groupBox);

    HWND Handle() const { return FGroupBox; }
    int Count() const { return static_cast<int>(FItems.size()); }
    HWND Item(int index) const;
    // The chosen item, or -1 when none is.
    int ItemIndex() const;
    // Chooses an item (-1: none).
    void SetItemIndex(int index);

private:
    HWND FGroupBox = nullptr;
    std::vector<HWND> FItems;
};
