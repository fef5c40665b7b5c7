#pragma once
// A hyperlink label: a static control of a dialog template (with SS_NOTIFY)
// drawn blue and underlined, purple while the left button is held on it,
// with a hand cursor. A click opens its target through the shell's "open"
// verb; its context menu opens it or copies it to the clipboard. The target
// is the link address, or the caption when no address is set.
#include <string>

#include "Window.h"

class TUrlLabel : public TSubclassedControl {
public:
    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kPressedColor = RGB(128, 0, 128);

    TUrlLabel() = default;
    // Takes over the label; its size shrinks to its text, so that only the
    // text is a link.
    void Attach(HWND label);

    std::string Caption() const { return GetWindowTextString(Handle()); }
    void SetCaption(const std::string& caption);
    const std::string& LinkAddress() const { return FLinkAddress; }
    void SetLinkAddress(const std::string& address) { FLinkAddress = address; }
    std::string Target() const { return FLinkAddress.empty() ? Caption() : FLinkAddress; }

    bool Pressed() const { return FPressed; }
    COLORREF TextColor() const { return FPressed ? kPressedColor : kLinkColor; }

    // The two commands of the context menu.
    void OpenLocation();
    void CopyLinkLocation();
    // The context menu as it is shown: "Open location" (the default item)
    // and "Copy link location".
    MenuHandle CreateContextMenu() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void UpdateFont();
    void FitToText();
    void ShowContextMenu(LPARAM position);
    void EndPress();

    std::string FLinkAddress;
    bool FPressed = false;
    GdiObject<HFONT> FFont;
    CursorHandle FOwnHandCursor;
    HCURSOR FHandCursor = nullptr;
};

// Puts Text on the clipboard as text; throws when the clipboard refuses it.
void CopyTextToClipboard(HWND owner, const std::string& text);
