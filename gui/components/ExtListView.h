#pragma once
// The list control of the main window and the details window: the report
// list view with extended styles and a column order that the user may change
// by dragging headers, kept with the other column settings.
#include <set>
#include <vector>

#include "EnhListView.h"

enum TLVExtendedStyle {
    lvxCheckboxes,
    lvxGridLines,
    lvxSubItemImages,
    lvxTrackSelect,
    lvxHeaderDragDrop,
    lvxFullRowSelect,
    lvxOneClickActivate,
    lvxTwoClickActivate,
    lvxFlatScrollBar,
    lvxInfoTip,
    lvxLabelTip,
};
using TLVExtendedStyles = std::set<TLVExtendedStyle>;

class TCustomExtListView : public TCustomEnhListView {
public:
    // The window goes while this layer still stores its part of the settings.
    ~TCustomExtListView() override;

    const TLVExtendedStyles& ExtendedStyles() const { return FExtendedStyles; }
    void SetExtendedStyles(const TLVExtendedStyles& styles);

    // For each display position from the left, the index of the column shown there.
    std::vector<int> ColumnOrder() const;
    // False, and nothing changes, unless Order is a permutation of the column indexes.
    bool SetColumnOrder(const std::vector<int>& order);

protected:
    void CreateWnd() override;
    void LoadSettings(TRegIniFileEx& settings) override;
    void StoreSettings(TRegIniFileEx& settings) override;

private:
    void ApplyExtendedStyles();
    TLVExtendedStyles FExtendedStyles;
};

class TExtListView final : public TCustomExtListView {};
