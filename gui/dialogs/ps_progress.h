#pragma once
// The progress window of a directory scan, with its Cancel button.
#include <string>

#include "Window.h"

class TfrmProgress : public TDialog {
public:
    explicit TfrmProgress(HWND owner);

    // One more file processed: the bar moves on by one (never past its
    // maximum) and the percentage shows position x 100 / maximum, halves
    // going to the even neighbour.
    void StepProgress();
    void SetFileName(const std::string& fileName);
    // StepProgress and SetFileName of a long scan: counted at once, shown
    // when the last showing is RepaintInterval old, so that the window
    // repaints a few times a second, not once per file. True when shown:
    // the scan then lets the messages through that came meanwhile.
    bool StepFile(const std::string& fileName);
    // In milliseconds; 0 shows every file (tests that follow a scan file by file).
    static inline DWORD RepaintInterval = 50;
    // The bar's maximum, set before the window is shown; at least 1.
    void SetMaximum(int maximum);
    int Maximum() const;
    int Position() const;

    // Set when the user pressed Cancel (button, Enter or Esc); the window
    // stays open.
    bool Cancelled() const { return FCancelled; }

protected:
    bool Command(int id, int code, HWND control) override;

private:
    void btnCancelClick();

    bool FCancelled = false;
    int FMaximum = 100;
    int FPosition = 0;
    void ShowPosition();

    int FBarPixels = 0;      // the bar's length as last drawn
    int FPercentage = -1;    // the percentage as last shown
    DWORD FShownAt = 0;      // GetTickCount of StepFile's last showing
    bool FShown = false;
};

// The percentage of Position of Maximum, rounded to the nearest whole
// number, halves to the even neighbour (37.5 gives 38, 62.5 gives 62).
int RoundedPercentage(int position, int maximum);
