#include "x11/ModuleOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>

const char kModuleUsage[] =
    "usage: velomass [options]\n"
    "  --root | --window | --window-id ID   where to draw [a window of its own]\n"
    "  --delay USEC          shortest time between two steps [10000]\n"
    "  --fps                 show the frame rate\n"
    "  --cell-size N         cell size in pixels, 1..128 [32]\n"
    "  --kinds N             piece kinds, 3..5 [5]\n"
    "  --pattern NAME        random, line, square, h-line or v-line [random]\n"
    "  --speed MS            milliseconds per animation step, 0..200 [50]\n"
    "  --still-first-frame   frame column 0 is only the piece at rest\n"
    "  --fill-empty          empty cells in the fill colour\n"
    "  --fill-pieces         pieces at rest in the fill colour\n"
    "  --fill-colour #RRGGBB the fill colour [#000000]\n"
    "  --image PATH          a piece image (BMP) instead of the built-in one\n";

namespace {

bool ParseLong(const std::string& text, int base, long low, long high, long& out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+' || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, base);
    if (errno != 0 || *end != '\0' || value < static_cast<unsigned long long>(low) ||
        value > static_cast<unsigned long long>(high))
        return false;
    out = static_cast<long>(value);
    return true;
}

// Decimal, or hexadecimal after 0x, as XScreenSaver prints window ids.
bool ParseWindowId(const std::string& text, unsigned long& out)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    // X ids are 29 bits; 0 is no window.
    if (errno != 0 || *end != '\0' || value == 0 || value > 0x1FFFFFFF || !std::isxdigit(static_cast<unsigned char>(text[hex ? 2 : 0])))
        return false;
    out = static_cast<unsigned long>(value);
    return true;
}

bool ParseColour(const std::string& text, std::uint32_t& out)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    out = static_cast<std::uint32_t>(std::strtoul(text.c_str() + 1, nullptr, 16));
    return true;
}

const char* const kPatterns[] = {"random", "line", "square", "h-line", "v-line"};

} // namespace

ParsedOptions ParseModuleOptions(const std::vector<std::string>& args, const char* saverWindow)
{
    ParsedOptions parsed;
    ModuleOptions& o = parsed.options;
    bool root = false, idGiven = false;
    const auto bad = [&parsed](const std::string& option, const std::string& value, const char* want,
                               const std::string& kept) {
        parsed.messages.push_back("velomass: " + option + " \"" + value + "\" is not " + want + "; using " + kept);
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        if (name.size() > 2 && name[0] == '-' && name[1] == '-')
            name.erase(0, 1);
        if (name == "-root") {
            root = true;
            continue;
        }
        if (name == "-window") {
            root = false;
            continue;
        }
        const struct { const char* name; bool* value; } flags[] = {
            {"-fps", &o.fps},
            {"-still-first-frame", &o.stillFirstFrame},
            {"-fill-empty", &o.fillEmpty},
            {"-fill-pieces", &o.fillPieces},
        };
        bool flag = false;
        for (const auto& f : flags)
            if (name == f.name)
                flag = *f.value = true;
        if (flag)
            continue;

        static const char* const kWithValue[] = {"-window-id", "-delay", "-cell-size", "-kinds", "-pattern",
                                                 "-speed", "-fill-colour", "-fill-color", "-image"};
        if (std::find_if(std::begin(kWithValue), std::end(kWithValue),
                         [&name](const char* n) { return name == n; }) == std::end(kWithValue) ||
            i + 1 >= args.size()) {
            if (name != "-help" && name != "-h")
                parsed.messages.push_back("velomass: unknown option or missing value: " + args[i]);
            parsed.showUsage = true;
            return parsed;
        }
        const std::string option = "-" + name;
        const std::string value = args[++i];
        long number = 0;
        if (name == "-window-id") {
            if (ParseWindowId(value, o.windowId))
                idGiven = true;
            else
                bad(option, value, "a window id", "no window id");
        } else if (name == "-delay") {
            if (ParseLong(value, 10, 0, 10000000, number))
                o.delay = number;
            else
                bad(option, value, "0..10000000 microseconds", std::to_string(o.delay));
        } else if (name == "-cell-size") {
            if (ParseLong(value, 10, 1, 128, number))
                o.cellSize = static_cast<int>(number);
            else
                bad(option, value, "1..128 pixels", std::to_string(o.cellSize));
        } else if (name == "-kinds") {
            if (ParseLong(value, 10, 3, 5, number))
                o.kinds = static_cast<int>(number);
            else
                bad(option, value, "3..5", std::to_string(o.kinds));
        } else if (name == "-speed") {
            if (ParseLong(value, 10, 0, 200, number))
                o.speed = static_cast<int>(number);
            else
                bad(option, value, "0..200 milliseconds", std::to_string(o.speed));
        } else if (name == "-pattern") {
            const auto* found = std::find(std::begin(kPatterns), std::end(kPatterns), value);
            if (found != std::end(kPatterns))
                o.pattern = static_cast<int>(found - std::begin(kPatterns)) + 1;
            else
                bad(option, value, "random, line, square, h-line or v-line", kPatterns[o.pattern - 1]);
        } else if (name == "-fill-colour" || name == "-fill-color") {
            if (!ParseColour(value, o.fillColour)) {
                char kept[8];
                std::snprintf(kept, sizeof kept, "#%06x", static_cast<unsigned>(o.fillColour));
                bad(option, value, "a colour #rrggbb", kept);
            }
        } else {
            o.image = value;
        }
    }

    unsigned long envId = 0;
    const bool fromEnv = !idGiven && saverWindow && *saverWindow;
    if (fromEnv && !ParseWindowId(saverWindow, envId))
        parsed.messages.push_back(std::string("velomass: XSCREENSAVER_WINDOW \"") + saverWindow +
                                  "\" is not a window id; ignored");
    if (idGiven) {
        o.target = DrawTarget::WindowId;
    } else if (envId) {
        o.target = DrawTarget::WindowId;
        o.windowId = envId;
    } else {
        o.target = root ? DrawTarget::Root : DrawTarget::OwnWindow;
    }
    return parsed;
}

long StepInterval(const ModuleOptions& options)
{
    return std::max(options.speed * 1000L, options.delay);
}
