#pragma once
// Small wrappers around the operating system for the windowed program: file
// version strings, the platform test, the computer's name, the system
// directory, the clock, and the three-way
// comparison of date-time values.
#include <windows.h>

#include <string>

#include "SplitLst.h"

// Appends two entries to Output (the caller passes it empty): the values of
// the first two of Names in the file's version resource, looked up for the
// first translation of its translation table only; an entry stays empty when
// its name is not found. False, with the two empty entries, when the file has
// no version resource with a translation table. Unreadable, when given, tells
// the two apart: true when the file could not be read at all (access denied,
// a sharing violation, a network failure, a name that is a device's), so that
// its strings are unknown rather than absent.
bool GetFileVersionStrings(const std::string& fileName, const TStringList& names,
                           TStringList& output, bool* unreadable = nullptr);
// The sub-block of a version string: "\StringFileInfo\%.4x%.4x\%s".
std::string VersionStringPath(WORD language, WORD codePage, const std::string& name);

bool IsWindowsNT();
// This computer's name; empty when the system cannot tell it.
std::string GetLocalComputerName();
// This computer's system directory, whatever its length, without a trailing
// backslash added; empty when the system cannot tell it.
std::string GetSystemDir();
// The local date and time now, as a date-time value.
double Now();
// -1 when A < B, 1 when A > B, else 0.
int CompareDateTime(double a, double b);
