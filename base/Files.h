#pragma once
#include <string>

// The file system as the settings store and the play lists see it.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    // True when a directory search for the path finds an entry (wildcards
    // that match something and existing directories count).
    virtual bool Exists(const std::string& path) = 0;
    // The process's current directory, without a trailing backslash except
    // at a drive root ("C:\").
    virtual std::string CurrentDirectory() = 0;
};

// False for an empty path without asking the file system.
bool FileExists(FileProbe& files, const std::string& path);
