#include "base/Files.h"

bool FileExists(FileSystem& files, const std::string& path)
{
    return !path.empty() && files.Exists(path);
}
