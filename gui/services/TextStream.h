#pragma once
// The file that Save As writes: a plain Win32 file, created (or emptied) when
// the object is made and closed when it goes, written straight through with
// no buffer of its own.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "ExportLayout.h"

// The file could not be created: "Cannot create file %s".
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file took fewer bytes than it was given, or could not be closed:
// "Error writing to stream.".
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TTextFileStream final : public TTextWriter {
public:
    // Creates the file FileName, replacing an existing one.
    explicit TTextFileStream(const std::string& fileName);
    ~TTextFileStream() override;
    TTextFileStream(const TTextFileStream&) = delete;
    TTextFileStream& operator=(const TTextFileStream&) = delete;

    // Writes the text's bytes up to its first NUL, whatever its length.
    void WriteText(const std::string& text) override;
    // Writes a carriage return and a line feed.
    void NewLine() override;
    // Closes the file; a system that could not write what it still held (a
    // delayed write to a network share) raises EInOutError. The object
    // closes the file itself otherwise.
    void Close();

private:
    void Write(const char* data, std::size_t size);
    HANDLE FHandle;
};
