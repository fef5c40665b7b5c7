#pragma once
// The settings dialog: the user settings that have no other control in the
// program, on two pages ("View" and "Miscellaneous"), with live examples of
// the time patterns and of the Knowledge Base command, and the clearing of
// the directory listing cache. It never reads or writes the settings in the
// registry itself: the main window's Settings command fills it (ReadOptions),
// shows it, and after OK copies it back (WriteOptions) and saves.
#include <string>

#include "Window.h"
#include "components/RadioGroup.h"

class TUserOptions;

class TfrmOptions : public TDialog {
public:
    explicit TfrmOptions(HWND owner);

    // Fills the controls from the settings in the order the Settings command
    // gives, and makes "View" the active page.
    void ReadOptions(const TUserOptions& options);
    // Copies every control back into the settings, in the same order. The
    // thresholds must be valid numbers, which OK has checked.
    void WriteOptions(TUserOptions& options) const;

    // The pages of pagecOptions.
    enum TPage { tabView = 0, tabMiscellaneous = 1 };
    TPage ActivePage() const;
    void SetActivePage(TPage page);

    // Items: 0 tab, 1 spaces, 2 semicolon, 3 comma.
    TRadioGroup rgrpColumnSep;

protected:
    bool Command(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;

private:
    // Event handlers.
    void chkBytesClick();
    void chkKiloBytesClick();
    // Both time-pattern edits: Sender tells which one changed.
    void edtListTimeFormatChange(HWND sender);
    void edtOpenKBCommandChange();
    void btnOkClick();
    void btnClearCacheClick();

    bool Checked(int id) const;
    void SetChecked(int id, bool checked);
    void SetEditText(int id, const std::string& text);
    void EnableRow(const int (&ids)[3], bool enabled);
    void ShowPageControls(TPage page);
    // Checks one threshold edit; on a bad number tells the user, shows the
    // edit and selects its text. False when the number is bad.
    bool CheckThreshold(int editId, unsigned messageId);
};
