#include "RegHive.h"

THiveFile::THiveFile(std::string bytes, std::string fileName)
    : FBytes(std::move(bytes)), FFileName(std::move(fileName)) {
    throw EHiveError(FFileName + " is not a registry file");
}
bool THiveFile::SequenceNumbersDiffer() const { return FSequenceNumbersDiffer; }
THiveFile::TKey THiveFile::RootKey() const { return FRootKey; }
std::optional<THiveFile::TKey> THiveFile::OpenKey(const std::string&) const { return {}; }
std::string THiveFile::KeyName(TKey) const { return {}; }
std::vector<std::string> THiveFile::SubkeyNames(TKey) const { return {}; }
std::vector<THiveFile::TKey> THiveFile::Subkeys(TKey) const { return {}; }
std::vector<std::string> THiveFile::ValueNames(TKey) const { return {}; }
std::optional<THiveValue> THiveFile::ReadValue(TKey, const std::string&) const { return {}; }
const std::string& THiveFile::FileName() const { return FFileName; }
std::string Utf16LeToUtf8(std::string_view) { return {}; }
std::string Utf8ToUtf16Le(std::string_view) { return {}; }
