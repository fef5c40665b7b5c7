#pragma once
// The life of a modeless window that scans while it is being shown (the
// details and verification windows): its scan runs in FormShow, before the
// window becomes visible, and lets messages through, so the window may be
// closed, or destroyed with its owner, while the scan is still on the stack.
#include <functional>
#include <utility>
#include <vector>

#include "Window.h"

template <class TForm>
class TScanWindow : public TFrameWindow {
public:
    // Closing the window while it scans cancels the scan and closes the
    // window once the scan has ended; the window may be gone when Show
    // returns.
    void Show(int showCommand = SW_SHOWNORMAL)
    {
        FInShow = true;
        {
            // Off the list also when the scan ends in an error.
            struct TShowing {
                TScanWindow* Form;
                explicit TShowing(TScanWindow* form) : Form(form) { Showing().push_back(form); }
                ~TShowing() { std::erase(Showing(), Form); }
            } showing(this);
            TFrameWindow::Show(showCommand);
        }
        FInShow = false;
        // Each branch is the object's last act: the owner may free it.
        if (FDestroyed) {
            HandBack();
            return;
        }
        if (FCloseRequested)
            Close();
    }
    bool Scanning() const { return FScanning; }
    // Closes every window of this kind that scans now, as its close box
    // does: the scan stops at the next file and the window goes.
    static void CloseScanning()
    {
        for (TScanWindow* form : std::vector<TScanWindow*>(Showing()))
            if (form->FHandle)
                form->Close();
    }
    // Called as the window's last act once it is destroyed; the owner frees
    // the object here and nowhere else. While Show runs the call waits until
    // the scan has ended.
    std::function<void(TForm&)> OnDestroyed;

protected:
    void Close() { SendMessageA(FHandle, WM_CLOSE, 0, 0); }
    // At WM_CLOSE: true when the close acts as Cancel and waits for the scan's end.
    bool DeferClose()
    {
        if (!FScanning && !FInShow)
            return false;
        FCloseRequested = true;
        return true;
    }
    // At WM_CLOSE: waits for the scan's end, or runs Closing (storing the
    // placement ...) and destroys the window, also when Closing fails.
    void CloseWindow(const std::function<void()>& closing)
    {
        if (DeferClose())
            return;
        try {
            closing();
        } catch (...) {
            // Reported while the window is whole; it closes all the same. The
            // box lets messages through: the main window may close meanwhile
            // and take this window, and this object, along.
            const HWND window = FHandle;
            Application().ShowException(std::current_exception(), window);
            if (!IsWindow(window) || TWindow::FromHandle(window) != this)
                return;
        }
        // The window's last message: the owner frees the object meanwhile.
        DestroyWindow(FHandle);
    }
    void WindowDestroyed() override
    {
        // The scan is still on the stack; Show hands the object back.
        if (FInShow)
            FDestroyed = true;
        else
            HandBack();
    }
    bool CloseRequested() const { return FCloseRequested; }

    bool FScanning = false;

private:
    // The windows of this kind whose Show runs, innermost last.
    static std::vector<TScanWindow*>& Showing()
    {
        static std::vector<TScanWindow*> showing;
        return showing;
    }
    void HandBack()
    {
        // The handler lives on the stack while it frees this object.
        if (auto onDestroyed = std::move(OnDestroyed))
            onDestroyed(static_cast<TForm&>(*this));
    }

    bool FInShow = false;
    bool FCloseRequested = false;   // closed while scanning: closes after the scan
    bool FDestroyed = false;        // destroyed while Show ran
};
