#pragma once
#include <string>
#include <vector>

// Our own sample sounds: two wave effects, two MIDI loops and a play list
// naming the loops. Integer arithmetic only, so every machine makes the
// same bytes.
struct SampleFile {
    std::string name;
    std::string bytes;
};

std::vector<SampleFile> GenerateSamples();
