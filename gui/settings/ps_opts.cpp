#include "ps_opts.h"

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "CommandFormat.h"
#include "DateTimePatterns.h"
#include "HotfixCache.h"
#include "ResString.h"
#include "LocaleInfo.h"
#include "NumText.h"
#include "Prompts.h"
#include "UserOpts.h"
#include "ps_opts_res.h"

namespace {

// The three pieces that Open KB Article takes from an identifier Q123456.
const std::vector<std::string> kExampleArticle{"123", "4", "56"};

// What the kilobyte and megabyte check boxes enable: threshold label, edit,
// unit label.
constexpr int kByteRow[] = {IDC_LBLBYTETHRESHOLD, IDC_EDTBYTETHRESHOLD, IDC_LBLBYTES};
constexpr int kKiloByteRow[] = {IDC_LBLKILOBYTETHRESHOLD, IDC_EDTKILOBYTETHRESHOLD,
                                IDC_LBLKILOBYTES};

constexpr int kClientWidth = 485, kClientHeight = 389;

// The command edit limits what the user types; a longer stored command is
// still shown and saved whole (the limit does not apply to set texts).
constexpr int kCommandTypingLimit = 128;

double NowAsDateTime()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                          now.wSecond, now.wMilliseconds);
}

// A label's text as a caption: without the accelerator's "&" ("&&" is a
// plain "&").
std::string WithoutAccelerator(const std::string& label)
{
    std::string text;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        text += label[i];
    }
    return text;
}

// A size threshold as typed: a number of the signed 32-bit range that is not
// negative.
std::optional<std::int32_t> TypedThreshold(const std::string& text)
{
    const std::optional<std::int32_t> value = TryTypedStrToInt(text);
    if (value && *value < 0)
        return std::nullopt;
    return value;
}

bool OnPage(int id, TfrmOptions::TPage page)
{
    return page == TfrmOptions::tabView
               ? id >= IDC_VIEWPAGE_FIRST && id <= IDC_VIEWPAGE_LAST
               : id >= IDC_MISCPAGE_FIRST && id <= IDC_MISCPAGE_LAST;
}

bool OnAnyPage(int id)
{
    return OnPage(id, TfrmOptions::tabView) || OnPage(id, TfrmOptions::tabMiscellaneous);
}

}  // namespace

TfrmOptions::TfrmOptions(HWND owner)
{
    CreateDialogFromTemplate(IDD_OPTIONS, owner);
    SetClientSizeInPixels(kClientWidth, kClientHeight);
    HWND pages = Item(IDC_PAGECOPTIONS);
    for (unsigned caption : {IDS_OPTPAGEVIEW, IDS_OPTPAGEMISC}) {
        std::string text = LoadResString(caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageA(pages, TCM_INSERTITEMA, static_cast<WPARAM>(TabCtrl_GetItemCount(pages)),
                     reinterpret_cast<LPARAM>(&item));
    }
    SetWindowTextString(Item(IDC_EDTBYTETHRESHOLD), "1");
    SetWindowTextString(Item(IDC_EDTKILOBYTETHRESHOLD), "1");
    rgrpColumnSep.Attach(Item(IDC_RGRPCOLUMNSEP));
    SendMessageA(Item(IDC_EDTOPENKBCOMMAND), EM_LIMITTEXT, kCommandTypingLimit, 0);
    SetActiveControl(IDC_BTNOK);
    SetDefaultButton(IDC_BTNOK);
    SetCancelButton(IDC_BTNCANCEL);
    SetButtonResult(IDC_BTNCANCEL, IDCANCEL);
    SetActivePage(tabView);
}

// ---------------------------------------------------------------------------
// Filling and reading back

void TfrmOptions::ReadOptions(const TUserOptions& options)
{
    SetChecked(IDC_CHKBYTES, options.DisplayKilobytes);
    SetChecked(IDC_CHKKILOBYTES, options.DisplayMegabytes);
    SetEditText(IDC_EDTBYTETHRESHOLD, std::to_string(options.ByteThreshold));
    SetEditText(IDC_EDTKILOBYTETHRESHOLD, std::to_string(options.KiloByteThreshold));
    SetEditText(IDC_EDTLISTTIMEFORMAT, options.ListTimeFormat);
    SetEditText(IDC_EDTDETAILTIMEFORMAT, options.DetailTimeFormat);
    SetEditText(IDC_EDTDEFAULTTEXT, options.DefaultText);
    SetEditText(IDC_EDTOPENKBCOMMAND, options.OpenKBCommand);
    rgrpColumnSep.SetItemIndex(options.ColumnSep);
    SetChecked(IDC_CHKVIEWICONS, options.ViewIcons);
    SetChecked(IDC_CHKUSECACHE, options.UseCache);
    SetChecked(IDC_CHKUSEIDLE, options.UseIdle);
    SetActivePage(tabView);
}

void TfrmOptions::WriteOptions(TUserOptions& options) const
{
    options.DisplayKilobytes = Checked(IDC_CHKBYTES);
    options.DisplayMegabytes = Checked(IDC_CHKKILOBYTES);
    // OK lets only valid numbers through; should one not be, the setting
    // keeps its value rather than taking a made-up one.
    options.ByteThreshold = TypedThreshold(GetWindowTextString(Item(IDC_EDTBYTETHRESHOLD)))
                                .value_or(options.ByteThreshold);
    options.KiloByteThreshold =
        TypedThreshold(GetWindowTextString(Item(IDC_EDTKILOBYTETHRESHOLD)))
            .value_or(options.KiloByteThreshold);
    options.ListTimeFormat = GetWindowTextString(Item(IDC_EDTLISTTIMEFORMAT));
    options.DetailTimeFormat = GetWindowTextString(Item(IDC_EDTDETAILTIMEFORMAT));
    options.DefaultText = GetWindowTextString(Item(IDC_EDTDEFAULTTEXT));
    options.OpenKBCommand = GetWindowTextString(Item(IDC_EDTOPENKBCOMMAND));
    // A stored separation out of range chooses no item; it then stays as stored.
    if (rgrpColumnSep.ItemIndex() >= 0)
        options.ColumnSep = rgrpColumnSep.ItemIndex();
    options.ViewIcons = Checked(IDC_CHKVIEWICONS);
    options.UseCache = Checked(IDC_CHKUSECACHE);
    options.UseIdle = Checked(IDC_CHKUSEIDLE);
}

bool TfrmOptions::Checked(int id) const
{
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmOptions::SetChecked(int id, bool checked)
{
    SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// Only a different text is set, so that the change handlers run exactly when
// the text changes.
void TfrmOptions::SetEditText(int id, const std::string& text)
{
    if (GetWindowTextString(Item(id)) != text)
        SetWindowTextString(Item(id), text);
}

// ---------------------------------------------------------------------------
// Pages

TfrmOptions::TPage TfrmOptions::ActivePage() const
{
    return TabCtrl_GetCurSel(Item(IDC_PAGECOPTIONS)) == tabMiscellaneous ? tabMiscellaneous
                                                                          : tabView;
}

void TfrmOptions::SetActivePage(TPage page)
{
    TabCtrl_SetCurSel(Item(IDC_PAGECOPTIONS), page);
    ShowPageControls(page);
}

void TfrmOptions::ShowPageControls(TPage page)
{
    // A control of the page going out of sight hands the focus, now or at
    // the next showing, to the page control.
    const auto leavingSight = [page](HWND control) {
        const int id = control ? GetDlgCtrlID(control) : 0;
        return OnAnyPage(id) && !OnPage(id, page);
    };
    HWND pages = Item(IDC_PAGECOPTIONS);
    if (HWND focus = GetFocus(); IsChild(FHandle, focus) && leavingSight(focus))
        SendMessageA(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pages), TRUE);
    if (leavingSight(ActiveControl()))
        SetActiveControl(pages);

    for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (OnAnyPage(id))
            ShowWindow(child, OnPage(id, page) ? SW_SHOWNA : SW_HIDE);
    }
}

// ---------------------------------------------------------------------------
// Messages

bool TfrmOptions::Command(int id, int code, HWND control)
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTNOK: btnOkClick(); return true;
        case IDC_CHKBYTES: chkBytesClick(); return true;
        case IDC_CHKKILOBYTES: chkKiloBytesClick(); return true;
        case IDC_BTNCLEARCACHE: btnClearCacheClick(); return true;
        default: break;
        }
    } else if (code == EN_CHANGE) {
        switch (id) {
        case IDC_EDTLISTTIMEFORMAT:
        case IDC_EDTDETAILTIMEFORMAT: edtListTimeFormatChange(control); return true;
        case IDC_EDTOPENKBCOMMAND: edtOpenKBCommandChange(); return true;
        default: break;
        }
    }
    return TDialog::Command(id, code, control);
}

LRESULT TfrmOptions::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == IDC_PAGECOPTIONS && header.code == TCN_SELCHANGE) {
            ShowPageControls(ActivePage());
            return 0;
        }
    }
    return TDialog::HandleMessage(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Event handlers

void TfrmOptions::FormShow()
{
    chkBytesClick();
    chkKiloBytesClick();
}

void TfrmOptions::chkBytesClick() { EnableRow(kByteRow, Checked(IDC_CHKBYTES)); }

void TfrmOptions::chkKiloBytesClick() { EnableRow(kKiloByteRow, Checked(IDC_CHKKILOBYTES)); }

void TfrmOptions::EnableRow(const int (&ids)[3], bool enabled)
{
    for (int id : ids)
        EnableWindow(Item(id), enabled);
}

void TfrmOptions::edtListTimeFormatChange(HWND sender)
{
    int example = 0;
    if (sender == Item(IDC_EDTLISTTIMEFORMAT))
        example = IDC_LBLLISTTIMEEXAMPLETEXT;
    else if (sender == Item(IDC_EDTDETAILTIMEFORMAT))
        example = IDC_LBLDETAILTIMEEXAMPLETEXT;
    else
        return;
    SetWindowTextString(Item(example), FormatDateTime(GetWindowTextString(sender),
                                                      NowAsDateTime(), LocaleFormatSettings()));
}

void TfrmOptions::edtOpenKBCommandChange()
{
    const std::string command = GetWindowTextString(Item(IDC_EDTOPENKBCOMMAND));
    if (const auto example = TryFormatCommand(command, kExampleArticle)) {
        SetWindowTextString(Item(IDC_LBLOPENKBCOMMANDEXAMPLETEXT), *example);
        return;
    }
    // While the Settings command fills the hidden dialog, the message belongs
    // to the window the dialog will be shown over.
    HWND owner = Visible() ? FHandle : GetWindow(FHandle, GW_OWNER);
    Prompts().MessageBox(owner, LoadResString(IDS_INVALIDCOMMAND),
                         WithoutAccelerator(GetWindowTextString(Item(IDC_LBLOPENKBCOMMAND))),
                         MB_OK | MB_ICONINFORMATION);
}

void TfrmOptions::btnOkClick()
{
    if (!CheckThreshold(IDC_EDTBYTETHRESHOLD, IDS_BADBYTETHRESHOLD) ||
        !CheckThreshold(IDC_EDTKILOBYTETHRESHOLD, IDS_BADKILOBYTETHRESHOLD))
        return;
    SetModalResult(IDOK);
}

bool TfrmOptions::CheckThreshold(int editId, unsigned messageId)
{
    HWND edit = Item(editId);
    if (TypedThreshold(GetWindowTextString(edit)))
        return true;
    Prompts().MessageBox(FHandle, LoadResString(messageId), LoadResString(IDS_OPTIONSTITLE),
                         MB_OK | MB_ICONINFORMATION);
    // The edit may be on the other page, or disabled with its check box off:
    // its page is shown in any case, the focus goes to it only when it can
    // take it.
    SetActivePage(tabView);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (IsWindowEnabled(edit))
        SendMessageA(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    return false;
}

void TfrmOptions::btnClearCacheClick()
{
    if (Prompts().MessageBox(FHandle, LoadResString(IDS_CLEARCACHEQUESTION),
                             LoadResString(IDS_CLEARCACHETITLE),
                             MB_YESNO | MB_ICONQUESTION) == IDYES &&
        !ClearHotfixCache())
        Prompts().MessageBox(FHandle, LoadResString(IDS_CLEARCACHEFAILED),
                             LoadResString(IDS_CLEARCACHETITLE), MB_OK | MB_ICONERROR);
}
