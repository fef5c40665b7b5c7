#include "ExtListView.h"

#include <algorithm>
#include <numeric>

namespace {

struct ExtendedStyleBit {
    TLVExtendedStyle Style;
    DWORD Bit;
};

constexpr ExtendedStyleBit kExtendedStyleBits[] = {
    {lvxCheckboxes, LVS_EX_CHECKBOXES},
    {lvxGridLines, LVS_EX_GRIDLINES},
    {lvxSubItemImages, LVS_EX_SUBITEMIMAGES},
    {lvxTrackSelect, LVS_EX_TRACKSELECT},
    {lvxHeaderDragDrop, LVS_EX_HEADERDRAGDROP},
    {lvxFullRowSelect, LVS_EX_FULLROWSELECT},
    {lvxOneClickActivate, LVS_EX_ONECLICKACTIVATE},
    {lvxTwoClickActivate, LVS_EX_TWOCLICKACTIVATE},
    {lvxFlatScrollBar, LVS_EX_FLATSB},
    {lvxInfoTip, LVS_EX_INFOTIP},
    {lvxLabelTip, LVS_EX_LABELTIP},
};

bool IsPermutation(std::vector<int> order, int count)
{
    if (static_cast<int>(order.size()) != count)
        return false;
    std::sort(order.begin(), order.end());
    for (int index = 0; index < count; ++index) {
        if (order[static_cast<size_t>(index)] != index)
            return false;
    }
    return true;
}

}  // namespace

TCustomExtListView::~TCustomExtListView() { DestroyHandle(); }

void TCustomExtListView::SetExtendedStyles(const TLVExtendedStyles& styles)
{
    FExtendedStyles = styles;
    ApplyExtendedStyles();
}

void TCustomExtListView::ApplyExtendedStyles()
{
    if (!Handle())
        return;
    DWORD mask = 0, bits = 0;
    for (const auto& entry : kExtendedStyleBits) {
        mask |= entry.Bit;
        if (FExtendedStyles.count(entry.Style))
            bits |= entry.Bit;
    }
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, mask, bits);
}

void TCustomExtListView::CreateWnd() { ApplyExtendedStyles(); }

std::vector<int> TCustomExtListView::ColumnOrder() const
{
    std::vector<int> order(static_cast<size_t>(ColumnCount()));
    std::iota(order.begin(), order.end(), 0);
    if (Handle() && !order.empty())
        SendMessageA(Handle(), LVM_GETCOLUMNORDERARRAY, order.size(),
                     reinterpret_cast<LPARAM>(order.data()));
    return order;
}

bool TCustomExtListView::SetColumnOrder(const std::vector<int>& order)
{
    if (!Handle() || !IsPermutation(order, ColumnCount()))
        return false;
    std::vector<int> columns(order);
    if (!SendMessageA(Handle(), LVM_SETCOLUMNORDERARRAY, columns.size(),
                      reinterpret_cast<LPARAM>(columns.data())))
        return false;
    InvalidateRect(Handle(), nullptr, TRUE);
    return true;
}

void TCustomExtListView::LoadSettings(TRegIniFileEx& settings)
{
    if (SaveSettings().SaveColumnOrder) {
        if (const auto order = ReadColumnList(settings, "Order"))
            SetColumnOrder(*order);
    }
    TCustomEnhListView::LoadSettings(settings);
}

void TCustomExtListView::StoreSettings(TRegIniFileEx& settings)
{
    if (SaveSettings().SaveColumnOrder && ColumnCount() > 0)
        WriteColumnList(settings, "Order", ColumnOrder());
    TCustomEnhListView::StoreSettings(settings);
}
