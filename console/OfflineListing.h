#pragma once
// The console program's reading of an offline Windows directory, whatever
// the platform that reaches its files: the SOFTWARE hive of
// system32\config as the registry, the time zone from the SYSTEM hive.
#include "ConsoleRun.h"
#include "TargetAccess.h"

// Reads the hotfixes of Files' Windows directory into Sink. A registry file
// that cannot be read, or a damaged one, ends the run with its message on
// Output; a hive saved with changes pending, and a SYSTEM hive that gives no
// time zone through damage, get a warning on Warnings and are read on.
// Options must hold the program's lists. The hive's texts (key names, string
// data) come as UTF-8, or as Narrow makes of the UTF-8 where the program's
// texts are in another code page.
using TNarrowText = std::string (*)(const std::string& utf8);
void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         TNarrowText narrow = nullptr);
