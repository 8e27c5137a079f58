#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(MatchSwitchTest, SwitchTable)
{
    const struct {
        const char* arg;
        const char* key;
        bool match;
    } cases[] = {
        {"c", "c", true},       {"C", "c", true},       {"/c", "c", true},     {"-C", "c", true},
        {"/c:1234", "c", true}, {"-p:77", "p", true},   {"/A:5", "a", true},   {"/s", "s", true},
        {"/cfg", "c", false},   {"--c", "c", false},    {"x", "c", false},     {"", "c", false},
        {"/", "c", false},      {"-", "c", false},      {"//c", "c", false},   {"/c ", "c", false},
        {"/:c", "c", false},    {"cc", "c", false},     {"/p", "c", false},    {"\xef\xbd\x83", "c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchSwitch(c.arg, c.key), c.match) << "arg \"" << c.arg << "\" key " << c.key;
}

TEST(AtoLTest, RuntimeRules)
{
    const struct {
        const char* text;
        long want;
    } cases[] = {
        {"1234", 1234},
        {"1234abc", 1234},
        {"abc", 0},
        {"", 0},
        {"  -7", -7},
        {"\t\n+42", 42},
        {"- 5", 0},
        {"--5", 0},
        {"0x1f", 0},
        {"007", 7},
        {"2147483647", 2147483647L},
        {"2147483648", 2147483647L},
        {"99999999999999999999999999", 2147483647L},
        {"-2147483648", -2147483647L - 1},
        {"-99999999999999999999999999", -2147483647L - 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AtoL(c.text), c.want) << "text \"" << c.text << "\"";
}

TEST(ParseCommandLineTest, ModesAndHandles)
{
    const struct {
        std::vector<std::string> args;
        SaverMode mode;
        bool hasHandle;
        long handle;
    } cases[] = {
        {{}, SaverMode::Configure, false, 0},
        {{"c"}, SaverMode::Configure, false, 0},
        {{"/C"}, SaverMode::Configure, false, 0},
        {{"/c:1234"}, SaverMode::Configure, true, 1234},
        {{"/c", "99"}, SaverMode::Configure, true, 99},
        {{"/p", "1234"}, SaverMode::Preview, true, 1234},
        {{"/p", "1234abc"}, SaverMode::Preview, true, 1234},
        {{"/p"}, SaverMode::Preview, false, 0},
        {{"/p", "garbage"}, SaverMode::Preview, true, 0},
        {{"/p:4321"}, SaverMode::Preview, true, 4321},
        {{"/p:4321", "99"}, SaverMode::Preview, true, 4321},
        {{"/p:"}, SaverMode::Preview, true, 0},
        {{"-s"}, SaverMode::FullScreen, false, 0},
        {{"S", "extra"}, SaverMode::FullScreen, true, 0},
        {{"/a", "5678"}, SaverMode::ChangePassword, true, 5678},
        {{"/a:5678"}, SaverMode::ChangePassword, true, 5678},
        {{"/x"}, SaverMode::None, false, 0},
        {{"/cfg"}, SaverMode::None, false, 0},
        {{"--c"}, SaverMode::None, false, 0},
        {{""}, SaverMode::None, false, 0},
        {{"x", "c"}, SaverMode::None, false, 0},
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
