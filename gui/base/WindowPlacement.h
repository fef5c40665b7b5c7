#pragma once
// A window's placement kept in the user's settings between its showings:
// "Left", "Top", "Width", "Height" (decimal text) and "Maximized" (a flag)
// in a section of its own below the settings key ("Verify" ...).
#include <windows.h>

#include <string>

// Gives Window the stored normal bounds of Section (Defaults for values not
// stored) and returns whether it was closed maximized. A value that cannot be
// read keeps its default and is raised once the others are read.
bool RestoreWindowPlacement(HWND window, const std::string& section, const RECT& defaults);

// Stores Window's placement as its closing does: a maximized window (or one
// minimized from maximized) writes only "Maximized", so its last normal
// bounds stay; any other its normal bounds. Raises ERegistryException when
// they cannot be written.
void StoreWindowPlacement(HWND window, const std::string& section);
