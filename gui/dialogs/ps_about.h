#pragma once
// The about box: the program's icon, name, version and the maker's e-mail
// and web addresses as hyperlinks.
#include "Window.h"
#include "components/UrlLabel.h"

class TfrmAbout : public TDialog {
public:
    explicit TfrmAbout(HWND owner);

    TUrlLabel urlEmail;
    TUrlLabel urlWebpage;

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    GdiObject<HFONT> FTitleFont;
};
