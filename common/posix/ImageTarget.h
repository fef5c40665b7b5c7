#pragma once
// A disk image as a target: the text after /IMAGE: ("<image>",
// "<image>@<n>", "<image>@<n>:<directory>") opened as the offline system of
// the Windows directory it names or holds.
#include <memory>
#include <string>

#include "OfflineSystem.h"

struct TImageTargetName {
    std::string File;
    bool VolumeNamed = false;
    int Volume = 0;          // unnamed: every volume is searched
    std::string Directory;   // empty: the volume's root directories are searched
};

// Splits Text at the "@<n>" that follows the image's file name. A file name
// that holds "@<digits>" itself is taken whole when that file exists.
TImageTargetName ParseImageTargetName(const std::string& text);

// Opens the image that Text names and the offline system on it. Without a
// directory, the Windows directory is the one directory at the root of a
// volume that holds system32\config\software; none or several of them raise
// EOfflineError naming the volumes searched or the directories found, as
// does an image that cannot be read (EImageError) or a missing SOFTWARE hive.
// A damaged hive raises EHiveError. The files' WindowsDir() is the caption:
// "<image>@<n>:\<directory>".
std::unique_ptr<TOfflineSystem> OpenImageTarget(const std::string& text,
                                                TTextCodePage codePage = Utf8CodePage());
