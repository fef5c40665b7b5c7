#include "ps_query.h"

#include "ps_dialogs_res.h"

TfrmQuerySP4::TfrmQuerySP4(HWND owner)
{
    CreateDialogFromTemplate(IDD_QUERYSP4, owner);
    // The designed size whatever the font that the template's units follow.
    SetClientSizeInPixels(513, 209);
    rgrpWhatToDo.Attach(Item(IDC_RGRPWHATTODO));
    rgrpWhatToDo.SetItemIndex(0);
    SetActiveControl(rgrpWhatToDo.Handle());
    SetDefaultButton(IDC_BTNOK);
    SetCancelButton(IDC_BTNCANCEL);
    SetButtonResult(IDC_BTNOK, IDOK);
    SetButtonResult(IDC_BTNCANCEL, IDCANCEL);
}
