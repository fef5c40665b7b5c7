#pragma once
// Helpers that more than one window of the program needs: resource texts
// with their fields filled, the comparison of identifiers and file names as
// the lists sort them, directory tests and the forms' font.
#include <windows.h>

#include <exception>
#include <initializer_list>
#include <string>

// A text of the string table with its "%s" and "%d" filled, in order, from
// Args. Resource texts only: user text is never taken as a pattern.
std::string FormatResString(unsigned id, std::initializer_list<std::string> args);

// Compares two texts ignoring the case of the letters A to Z only, otherwise
// by character code; on a common prefix the shorter text comes first.
// Result -1, 0 or 1.
int CompareText(const std::string& a, const std::string& b);

// Whether Path names an existing directory.
bool DirectoryExists(const std::string& path);

// The forms' font: that of their controls and of their measures. A stock
// object, never freed.
HFONT FormFont();

// Runs one step of a sequence whose every step must run (the closing steps
// of a scan, the values of a stored placement); the first error is kept for
// the general error report.
template <typename Step>
void RunStep(std::exception_ptr& failure, Step step)
{
    try {
        step();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
}
