#pragma once
#include "base/ByteSource.h"

#include <memory>
#include <string>

// The file system as the portable code sees it; paths are UTF-8. The Win32
// layer implements it, tests fake it.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a directory search for the path finds an entry (wildcards
    // that match something and existing directories count).
    virtual bool Exists(const std::string& path) = 0;
    // The process's current directory, without a trailing backslash except
    // at a drive root ("C:\").
    virtual std::string CurrentDirectory() = 0;
    // The short (8.3) form of an existing path; false when there is none.
    virtual bool ShortPath(const std::string& path, std::string& shortPath) = 0;
    // Null when the file cannot be opened (missing, locked, a folder, not a disk file).
    virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
    // Play lists are written in the system's ANSI code page.
    virtual std::string AnsiToUtf8(const std::string& bytes) = 0;
};

// False for an empty path without asking the file system.
bool FileExists(FileSystem& files, const std::string& path);
