#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLineTest, ModesAndHandles)
{
    using M = SaverMode;
    const struct { std::vector<std::string> args; SaverMode mode; bool hasHandle; long handle; } cases[] = {
        {{}, M::Configure, false, 0},           {{"c"}, M::Configure, false, 0},
        {{"-C"}, M::Configure, false, 0},       {{"/c:1234"}, M::Configure, true, 1234},
        {{"/c", "99"}, M::Configure, true, 99}, {{"/P"}, M::Preview, false, 0},
        {{"/p", "1234abc"}, M::Preview, true, 1234}, {{"-p:77", "99"}, M::Preview, true, 77},
        {{"/p", "  -7"}, M::Preview, true, -7}, {{"S", "extra"}, M::FullScreen, true, 0},
        {{"/A:5"}, M::ChangePassword, true, 5}, {{"/a", "5678"}, M::ChangePassword, true, 5678},
        {{"/cfg"}, M::None, false, 0},          {{"--c"}, M::None, false, 0},
        {{"x", "c"}, M::None, false, 0},        {{""}, M::None, false, 0},
        {{"/c "}, M::None, false, 0},           {{"\xef\xbd\x83"}, M::None, false, 0},  // full-width c
        // Only a prefix, the letter, a colon and digits are the colon form.
        {{"C:\\Users\\me\\pic.bmp"}, M::None, false, 0}, {{"c:1234"}, M::None, false, 0},
        {{"/s:99"}, M::None, false, 0},         {{"/p:"}, M::None, false, 0},
        {{"/p:12x"}, M::None, false, 0},        {{"/p:-5"}, M::None, false, 0},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += "\"" + a + "\" ";
        const StartRequest got = ParseCommandLine(c.args);
        EXPECT_EQ(static_cast<int>(got.mode), static_cast<int>(c.mode)) << "args " << shown;
        EXPECT_EQ(got.hasHandle, c.hasHandle) << "args " << shown;
        EXPECT_EQ(got.handle, c.handle) << "args " << shown;
    }
}

}  // namespace
