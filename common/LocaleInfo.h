#pragma once
// The user's locale conventions (GetLocaleInfo), read once per program run.
#include "DateTimePatterns.h"

const TFormatSettings& LocaleFormatSettings();
TFormatSettings ReadLocaleFormatSettings();   // fresh read, for tests
