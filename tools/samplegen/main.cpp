// Writes our sample sounds and play list into a folder:
//   samplegen DIR
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/samplegen/SampleGen.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: samplegen DIR\n");
        return 2;
    }
    for (const SampleFile& file : GenerateSamples()) {
        const std::string path = std::string(argv[1]) + "/" + file.name;
        std::ofstream out(path, std::ios::binary);
        out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "samplegen: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return 0;
}
