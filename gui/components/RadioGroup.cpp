#include "RadioGroup.h"

void TRadioGroup::Attach(HWND groupBox)
{
    FGroupBox = groupBox;
    FItems.clear();
    HWND first = groupBox ? GetWindow(groupBox, GW_HWNDNEXT) : nullptr;
    for (HWND item = first; item; item = GetWindow(item, GW_HWNDNEXT)) {
        if (item != first && (GetWindowLongA(item, GWL_STYLE) & WS_GROUP))
            break;
        FItems.push_back(item);
    }
}

HWND TRadioGroup::Item(int index) const
{
    return index >= 0 && index < Count() ? FItems[static_cast<size_t>(index)] : nullptr;
}

int TRadioGroup::ItemIndex() const
{
    for (int index = 0; index < Count(); ++index)
        if (SendMessageA(FItems[static_cast<size_t>(index)], BM_GETCHECK, 0, 0) == BST_CHECKED)
            return index;
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    for (int i = 0; i < Count(); ++i)
        SendMessageA(FItems[static_cast<size_t>(i)], BM_SETCHECK,
                     i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}
