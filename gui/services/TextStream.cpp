#include "TextStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

TTextFileStream::TTextFileStream(const std::string& fileName)
    : FHandle(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (FHandle == INVALID_HANDLE_VALUE)
        throw EFCreateError("Cannot create file " + fileName);
}

TTextFileStream::~TTextFileStream()
{
    if (FHandle != INVALID_HANDLE_VALUE)
        CloseHandle(FHandle);
}

void TTextFileStream::Close()
{
    const HANDLE handle = std::exchange(FHandle, INVALID_HANDLE_VALUE);
    if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle))
        throw EInOutError("Error writing to stream.");
}

void TTextFileStream::WriteText(const std::string& text)
{
    Write(text.data(), std::strlen(text.c_str()));
}

void TTextFileStream::NewLine() { Write("\r\n", 2); }

void TTextFileStream::Write(const char* data, std::size_t size)
{
    if (FHandle == INVALID_HANDLE_VALUE)
        throw EInOutError("Error writing to stream.");
    // One call takes at most what a DWORD counts; a longer text goes in pieces.
    while (size > 0) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000));
        DWORD written = 0;
        if (!WriteFile(FHandle, data, piece, &written, nullptr) || written != piece)
            throw EInOutError("Error writing to stream.");
        data += piece;
        size -= piece;
    }
}
