#include "WindowPlacement.h"

#include <exception>

#include "FormHelpers.h"
#include "HotfixReader.h"
#include "RegistryEx.h"
#include "Window.h"

bool RestoreWindowPlacement(HWND window, const std::string& section, const RECT& defaults)
{
    std::exception_ptr failure;
    TRegIniFileEx settings(kSettingsKey);
    if (!settings.CurrentKey())
        return false;
    int left = defaults.left, top = defaults.top;
    int width = defaults.right - defaults.left, height = defaults.bottom - defaults.top;
    bool maximized = false;
    RunStep(failure, [&] { left = settings.ReadInteger(section, "Left", left); });
    RunStep(failure, [&] { top = settings.ReadInteger(section, "Top", top); });
    RunStep(failure, [&] { width = settings.ReadInteger(section, "Width", width); });
    RunStep(failure, [&] { height = settings.ReadInteger(section, "Height", height); });
    RunStep(failure, [&] { maximized = settings.ReadBoolean(section, "Maximized", false); });
    SetNormalBounds(window, RECT{left, top, left + width, top + height});
    if (failure)
        std::rethrow_exception(failure);
    return maximized;
}

void StoreWindowPlacement(HWND window, const std::string& section)
{
    TRegIniFileEx settings(kSettingsKey);
    if (!settings.CurrentKey())
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    if (placement.showCmd == SW_SHOWMAXIMIZED ||
        (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED))) {
        settings.WriteBoolean(section, "Maximized", true);
        return;
    }
    // The normal bounds, also of a minimized window (which stands far off the
    // screen), in the coordinates that RestoreWindowPlacement gives back.
    const RECT bounds = placement.rcNormalPosition;
    settings.WriteInteger(section, "Left", bounds.left);
    settings.WriteInteger(section, "Top", bounds.top);
    settings.WriteInteger(section, "Width", bounds.right - bounds.left);
    settings.WriteInteger(section, "Height", bounds.bottom - bounds.top);
    settings.WriteBoolean(section, "Maximized", false);
}
