#pragma once
// The console program's reading of an offline Windows directory, whatever
// the platform that reaches its files (see TOfflineSystem).
#include "ConsoleRun.h"
#include "HiveSource.h"
#include "TargetAccess.h"

// Reads the hotfixes of Files' Windows directory into Sink. A registry file
// that is missing, unreadable or damaged ends the run with its message on
// Output; a hive saved with changes pending gets a warning on Warnings and is
// read on. Options must hold the program's lists. The hive's texts come in
// CodePage (UTF-8 unless told otherwise).
void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         const TTextCodePage& codePage = Utf8CodePage());
