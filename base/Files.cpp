#include "base/Files.h"

bool FileExists(FileProbe& files, const std::string& path)
{
    return !path.empty() && files.Exists(path);
}
