#pragma once
// The question asked when Service Pack 4 is found: what to do with the
// hotfixes that may predate it. The caller sets the caption, chooses the
// first item, shows it modally and acts on the chosen item after OK.
#include "Window.h"
#include "components/RadioGroup.h"

class TfrmQuerySP4 : public TDialog {
public:
    explicit TfrmQuerySP4(HWND owner);

    // Items: 0 ignore the pre-SP4 hotfixes, 1 delete their backups and
    // registry entries, 2 never ask again.
    TRadioGroup rgrpWhatToDo;

    // The chosen item of rgrpWhatToDo.
    int Choice() const { return rgrpWhatToDo.ItemIndex(); }
    void SetChoice(int index) { rgrpWhatToDo.SetItemIndex(index); }
};
