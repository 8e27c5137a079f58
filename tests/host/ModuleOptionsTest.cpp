// The module's command line: XScreenSaver's conventions for where to draw,
// the standard options of its modules, shortened names, the settings
// dialog's options, and a bad value's message and default.
#include "x11/ModuleOptions.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

ModuleOptions Parse(Texts args, const char* env = nullptr, std::size_t messages = 0)
{
    const ParsedOptions p = ParseModuleOptions(args, env);
    EXPECT_EQ(p.messages.size(), messages) << (p.messages.empty() ? "" : p.messages[0]);
    EXPECT_FALSE(p.showUsage);
    return p.options;
}

TEST(ModuleOptionsTest, WhereToDrawFollowsXScreenSaversPrecedence)
{
    using T = DrawTarget;
    const struct { Texts args; const char* env; T target; unsigned long id; std::size_t messages; } cases[] = {
        {{}, nullptr, T::OwnWindow, 0, 0}, {{"--root"}, nullptr, T::Root, 0, 0},
        {{"--window-id", "12345"}, nullptr, T::WindowId, 12345, 0},
        {{"--window-id", "0x2a00007"}, nullptr, T::WindowId, 0x2a00007, 0},
        {{"--root"}, "0x400001", T::WindowId, 0x400001, 0},
        // The daemon's window is what -root means, nothing else.
        {{}, "0x400001", T::OwnWindow, 0, 0},
        {{"--root", "--window"}, "0x400001", T::OwnWindow, 0, 0},
        // The preview of the settings program: its window id after our --root.
        {{"--root", "--speed", "50", "--window-id", "0x1e00003"}, "0x1e00003", T::WindowId, 0x1e00003, 0},
        {{"--window-id", "77"}, "0x400001", T::WindowId, 77, 0},
        {{"--root"}, "", T::Root, 0, 0}, {{"--root"}, "junk", T::Root, 0, 1},
        {{"--window-id", "0"}, nullptr, T::OwnWindow, 0, 1}, {{"--window-id", "-5"}, nullptr, T::OwnWindow, 0, 1},
        {{"--window-id", "12ab"}, nullptr, T::OwnWindow, 0, 1},
        {{"--window-id", "0x40000000"}, nullptr, T::OwnWindow, 0, 1},  // past X's 29 bits
        {{"--root", "--window-id", "x"}, "0x400001", T::WindowId, 0x400001, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args) + " env " + (c.env ? c.env : "none"));
        const ModuleOptions o = Parse(c.args, c.env, c.messages);
        EXPECT_EQ(o.target, c.target);
        if (c.target == T::WindowId)
            EXPECT_EQ(o.windowId, c.id);
    }
}

// A number inside its range is taken; anything else keeps the default and
// says so, and a later good value still counts.
TEST(ModuleOptionsTest, ValuesInRangeAreTakenAndBadOnesKeepTheDefaultWithAMessage)
{
    const struct { const char* option; int ModuleOptions::*field; int fallback; Texts good, bad; } numbers[] = {
        {"--cell-size", &ModuleOptions::cellSize, 32, {"1", "128"}, {"129", "0", "3x", ""}},
        {"--kinds", &ModuleOptions::kinds, 5, {"3", "5"}, {"2", "6", "+4"}},
        {"--speed", &ModuleOptions::speed, 50, {"0", "200"}, {"201", "-1", "99999999999999999999"}},
    };
    for (const auto& c : numbers) {
        EXPECT_EQ(ModuleOptions().*c.field, c.fallback) << c.option;
        for (const std::string& v : c.good)
            EXPECT_EQ(Parse({c.option, v}).*c.field, std::stoi(v)) << c.option << " " << v;
        for (const std::string& v : c.bad)
            EXPECT_EQ(Parse({c.option, v}, nullptr, 1).*c.field, c.fallback) << c.option << " \"" << v << "\"";
    }
    const char* const patterns[] = {"random", "line", "square", "h-line", "v-line"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Parse({"--pattern", patterns[i]}).pattern, i + 1) << patterns[i];
    for (const char* bad : {"Line", "3"})
        EXPECT_EQ(Parse({"--pattern", bad}, nullptr, 1).pattern, 1) << bad;
    EXPECT_EQ(ModuleOptions().delay, 10000);
    // Steps come at the speed, but no sooner than the delay.
    EXPECT_EQ(StepInterval(ModuleOptions(), 50), 50000);
    EXPECT_EQ(StepInterval(ModuleOptions(), 5), 10000);
    EXPECT_EQ(Parse({"--delay", "0"}).delay, 0);
    EXPECT_EQ(Parse({"--delay", "-3"}, nullptr, 1).delay, 10000);
    EXPECT_EQ(Parse({"--kinds", "9", "--kinds", "4"}, nullptr, 1).kinds, 4);
    const ParsedOptions message = ParseModuleOptions({"--kinds", "7"}, nullptr);
    EXPECT_EQ(message.messages, Texts{"velomass: --kinds \"7\" is not 3..5; using 5"});
}

// Without "#" a colour survives a shell; names are X's to look up.
TEST(ModuleOptionsTest, ColourImageAndSwitches)
{
    for (const char* hex : {"#1a2B3c", "1a2B3c"})
        EXPECT_EQ(Parse({"--fill-colour", hex}).fillColour, 0x1A2B3Cu) << hex;
    for (const char* name : {"navy", "dark slate gray", "rgb:00/00/80"})
        EXPECT_EQ(Parse({"--fill-colour", name}).fillColourName, name);
    for (const char* bad : {"#1a2b3", "1a2b3c4", "#1a2b3g", "", "red;rm"}) {
        const ModuleOptions o = Parse({"--fill-colour", bad}, nullptr, 1);
        EXPECT_EQ(o.fillColour, 0u) << bad;
        EXPECT_EQ(o.fillColourName, "") << bad;
    }
    EXPECT_EQ(Parse({"--fill-color", "navy", "--fill-colour", "808080"}).fillColourName, "");
    EXPECT_EQ(Parse({"--image", "/tmp/x y.bmp"}).image, "/tmp/x y.bmp");

    const ModuleOptions on = Parse({"--fps", "--still-first-frame", "--fill-empty", "-fill-pieces"});
    EXPECT_TRUE(on.fps && on.stillFirstFrame && on.fillEmpty && on.fillPieces);
    const ModuleOptions off = Parse({});
    EXPECT_FALSE(off.fps || off.stillFirstFrame || off.fillEmpty || off.fillPieces);
}

TEST(ModuleOptionsTest, StandardOptionsOfXScreenSaverModulesAndShortenedNames)
{
    const struct { Texts args; bool (*holds)(const ModuleOptions&); } cases[] = {
        {{"-display", ":5", "-root"}, [](const ModuleOptions& o) { return o.display == ":5" && o.target == DrawTarget::Root; }},
        {{"-geometry", "640x480+10+20"}, [](const ModuleOptions& o) { return o.geometry == "640x480+10+20"; }},
        {{"-visual", "PseudoColor"}, [](const ModuleOptions& o) { return o.visual == "PseudoColor"; }},
        {{"-install"}, [](const ModuleOptions& o) { return o.install; }},
        {{"-install", "-noinstall"}, [](const ModuleOptions& o) { return !o.install; }},
        {{"-mono"}, [](const ModuleOptions& o) { return o.mono; }},
        {{"-sync"}, [](const ModuleOptions& o) { return o.sync; }},
        {{"-fps", "-no-fps"}, [](const ModuleOptions& o) { return !o.fps; }},
        {{"-pair", "-xrm", "*delay: 5", "-bg", "black", "-fg", "white", "-name", "x", "-iconic", "+rv", "-rv"},
         [](const ModuleOptions& o) { return o.delay == 10000 && o.target == DrawTarget::OwnWindow; }},
        // Shortened while unique; names that mean the same count once.
        {{"-del", "5000"}, [](const ModuleOptions& o) { return o.delay == 5000; }},
        {{"--dis", ":3", "--ro"}, [](const ModuleOptions& o) { return o.display == ":3" && o.target == DrawTarget::Root; }},
        {{"-sy", "-no-f", "-sti", "-ki", "4"}, [](const ModuleOptions& o) { return o.sync && !o.fps && o.stillFirstFrame && o.kinds == 4; }},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(c.holds(Parse(c.args))) << testing::PrintToString(c.args);
}

TEST(ModuleOptionsTest, UnknownAmbiguousOptionsAndMissingValuesAskForTheUsage)
{
    const struct { Texts args; const char* message; } cases[] = {
        {{"--bogus"}, "velomass: unknown option: --bogus"},
        {{"--kinds"}, "velomass: --kinds needs a value"},
        {{"--root", "--image"}, "velomass: --image needs a value"},
        {{"stray"}, "velomass: unknown option: stray"},
        {{"-d", "1"}, "velomass: -d is ambiguous: -delay, -display"},
        {{"-win", "1"}, "velomass: -win is ambiguous: -window, -window-id"},
        {{"--fill", "1"}, "velomass: --fill is ambiguous: -fill-empty, -fill-pieces, -fill-colour, -fill-color"},
        {{"--help"}, nullptr},
        {{"-h"}, nullptr},
    };
    for (const auto& c : cases) {
        const ParsedOptions p = ParseModuleOptions(c.args, nullptr);
        EXPECT_TRUE(p.showUsage) << testing::PrintToString(c.args);
        EXPECT_EQ(p.messages, c.message ? Texts{c.message} : Texts{});
    }
}

} // namespace
