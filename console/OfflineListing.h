#pragma once
// The console program's reading of an offline Windows directory, whatever
// the platform that reaches its files (see TOfflineSystem).
#include <functional>
#include <memory>

#include "ConsoleRun.h"
#include "HiveSource.h"
#include "TargetAccess.h"

class TOfflineSystem;

// Opens the offline system of Files' Windows directory for Use
// (ReadOfflineTarget), or reads its hotfixes into Sink. A registry file
// that is missing, unreadable or damaged ends the run with its message on
// Output; a hive saved with changes pending gets a warning on Warnings and is
// read on. Options must hold the program's lists. The hive's texts come in
// CodePage (UTF-8 unless told otherwise).
void ReadOfflineTarget(const TFileSource& files, const THotfixReadOptions& options,
                       TLineWriter& output, TLineWriter& warnings,
                       const TConsolePlatform::TTargetUse& use,
                       const TTextCodePage& codePage = Utf8CodePage());
// The same for an offline system that Open gives (a disk image target),
// opened here so that its failures are reported alike. Where the system's
// file system keeps local times (FAT), Warnings says that they are shown as
// stored.
using TOfflineOpener = std::function<std::unique_ptr<TOfflineSystem>()>;
void ReadOfflineSystem(const TOfflineOpener& open, const THotfixReadOptions& options,
                       TLineWriter& output, TLineWriter& warnings,
                       const TConsolePlatform::TTargetUse& use);
void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         const TTextCodePage& codePage = Utf8CodePage());
