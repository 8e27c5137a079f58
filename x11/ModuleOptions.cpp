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
    "  --fps | --no-fps      show the frame rate [no]\n"
    "  --cell-size N         cell size in pixels, 1..128 [32]\n"
    "  --kinds N             piece kinds, 3..5 [5]\n"
    "  --pattern NAME        random, line, square, h-line or v-line [random]\n"
    "  --speed MS            milliseconds per animation step, 0..200 [50]\n"
    "  --still-first-frame   frame column 0 is only the piece at rest\n"
    "  --fill-empty          empty cells in the fill colour\n"
    "  --fill-pieces         pieces at rest in the fill colour\n"
    "  --fill-colour COLOUR  rrggbb, #rrggbb or an X colour name [000000]\n"
    "  --image PATH          a piece image (BMP) instead of the built-in one\n"
    "  --display HOST:N      the X display [$DISPLAY]\n"
    "  --geometry WxH+X+Y    size and place of its own window\n"
    "  --visual CLASS|ID     visual of its own window [default]\n"
    "  --install             a colormap of its own\n"
    "  --sync                talk to the X server synchronously\n"
    "  --mono, --pair, --xrm RESOURCE and X Toolkit options are accepted\n"
    "Options may be shortened while they stay unique (--del for --delay).\n";

namespace {

enum class Opt {
    Root, Window, WindowId, Delay, Fps, NoFps, CellSize, Kinds, Pattern, Speed, StillFirstFrame, FillEmpty,
    FillPieces, FillColour, Image, Display, Geometry, Visual, Install, NoInstall, Mono, Sync, Help,
    Ignored, IgnoredWithValue,
};

struct OptionName {
    const char* name;  // with one dash
    Opt opt;
};

// Ours, XScreenSaver's for every module, and the X Toolkit's: a module
// has to take whatever the daemon or a user's habit puts on its line.
const OptionName kOptions[] = {
    {"-root", Opt::Root},
    {"-window", Opt::Window},
    {"-window-id", Opt::WindowId},
    {"-delay", Opt::Delay},
    {"-fps", Opt::Fps},
    {"-no-fps", Opt::NoFps},
    {"-cell-size", Opt::CellSize},
    {"-kinds", Opt::Kinds},
    {"-pattern", Opt::Pattern},
    {"-speed", Opt::Speed},
    {"-still-first-frame", Opt::StillFirstFrame},
    {"-fill-empty", Opt::FillEmpty},
    {"-fill-pieces", Opt::FillPieces},
    {"-fill-colour", Opt::FillColour},
    {"-fill-color", Opt::FillColour},
    {"-image", Opt::Image},
    {"-display", Opt::Display},
    {"-geometry", Opt::Geometry},
    {"-visual", Opt::Visual},
    {"-install", Opt::Install},
    {"-noinstall", Opt::NoInstall},
    {"-mono", Opt::Mono},
    {"-pair", Opt::Ignored},  // two copies side by side: the daemon's affair
    {"-sync", Opt::Sync},
    {"-synchronous", Opt::Sync},
    {"-help", Opt::Help},
    {"-h", Opt::Help},
    {"-xrm", Opt::IgnoredWithValue},
    {"-name", Opt::IgnoredWithValue},
    {"-title", Opt::IgnoredWithValue},
    {"-background", Opt::IgnoredWithValue},
    {"-bg", Opt::IgnoredWithValue},
    {"-foreground", Opt::IgnoredWithValue},
    {"-fg", Opt::IgnoredWithValue},
    {"-bordercolor", Opt::IgnoredWithValue},
    {"-bd", Opt::IgnoredWithValue},
    {"-borderwidth", Opt::IgnoredWithValue},
    {"-bw", Opt::IgnoredWithValue},
    {"-font", Opt::IgnoredWithValue},
    {"-fn", Opt::IgnoredWithValue},
    {"-xnllanguage", Opt::IgnoredWithValue},
    {"-selectionTimeout", Opt::IgnoredWithValue},
    {"-iconic", Opt::Ignored},
    {"-reverse", Opt::Ignored},
    {"-rv", Opt::Ignored},
    {"+rv", Opt::Ignored},
    {"+synchronous", Opt::Ignored},
};

bool TakesValue(Opt opt)
{
    switch (opt) {
    case Opt::WindowId: case Opt::Delay: case Opt::CellSize: case Opt::Kinds: case Opt::Pattern:
    case Opt::Speed: case Opt::FillColour: case Opt::Image: case Opt::Display: case Opt::Geometry:
    case Opt::Visual: case Opt::IgnoredWithValue:
        return true;
    default:
        return false;
    }
}

// The option an argument names: the exact name, or the only one it starts
// (names that mean the same count once). Null when none or several match;
// `candidates` then lists the several.
const OptionName* Lookup(const std::string& arg, std::string& candidates)
{
    std::string name = arg;
    if (name.size() > 2 && name[0] == '-' && name[1] == '-')
        name.erase(0, 1);
    if (name.size() < 2 || (name[0] != '-' && name[0] != '+'))
        return nullptr;
    const OptionName* found = nullptr;
    for (const OptionName& o : kOptions)
        if (name == o.name)
            return &o;
    bool ambiguous = false;
    for (const OptionName& o : kOptions) {
        if (std::string(o.name).compare(0, name.size(), name) != 0)
            continue;
        candidates += candidates.empty() ? "" : ", ";
        candidates += o.name;
        if (found && found->opt != o.opt)
            ambiguous = true;
        found = found ? found : &o;
    }
    return ambiguous ? nullptr : found;
}

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

// What X could take for a colour name ("navy", "dark slate gray",
// "rgb:00/00/80"): looked up once the display is open.
bool LooksLikeColourName(const std::string& text)
{
    if (text.empty() || text.size() > 64 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == ':' || c == '/' || c == '.';
    });
}

const char* const kPatterns[] = {"random", "line", "square", "h-line", "v-line"};

} // namespace

bool ParseHexColour(const std::string& text, std::uint32_t& out)
{
    const std::size_t start = !text.empty() && text[0] == '#' ? 1 : 0;
    if (text.size() != start + 6)
        return false;
    for (std::size_t i = start; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    out = static_cast<std::uint32_t>(std::strtoul(text.c_str() + start, nullptr, 16));
    return true;
}

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
        std::string candidates;
        const OptionName* option = Lookup(args[i], candidates);
        if (!option) {
            parsed.messages.push_back(candidates.empty() ? "velomass: unknown option: " + args[i]
                                                         : "velomass: " + args[i] + " is ambiguous: " + candidates);
            parsed.showUsage = true;
            return parsed;
        }
        const Opt opt = option->opt;
        std::string value;
        if (TakesValue(opt)) {
            if (i + 1 >= args.size()) {
                parsed.messages.push_back("velomass: " + args[i] + " needs a value");
                parsed.showUsage = true;
                return parsed;
            }
            value = args[++i];
        }
        const std::string& name = args[i - (TakesValue(opt) ? 1 : 0)];  // as it was typed
        long number = 0;
        switch (opt) {
        case Opt::Root: root = true; break;
        case Opt::Window: root = false; break;
        case Opt::Fps: o.fps = true; break;
        case Opt::NoFps: o.fps = false; break;
        case Opt::StillFirstFrame: o.stillFirstFrame = true; break;
        case Opt::FillEmpty: o.fillEmpty = true; break;
        case Opt::FillPieces: o.fillPieces = true; break;
        case Opt::Install: o.install = true; break;
        case Opt::NoInstall: o.install = false; break;
        case Opt::Mono: o.mono = true; break;
        case Opt::Sync: o.sync = true; break;
        case Opt::Help: parsed.showUsage = true; return parsed;
        case Opt::Ignored: case Opt::IgnoredWithValue: break;
        case Opt::Display: o.display = value; break;
        case Opt::Geometry: o.geometry = value; break;
        case Opt::Visual: o.visual = value; break;
        case Opt::Image: o.image = value; break;
        case Opt::WindowId:
            if (ParseWindowId(value, o.windowId))
                idGiven = true;
            else
                bad(name, value, "a window id", "no window id");
            break;
        case Opt::Delay:
            if (ParseLong(value, 10, 0, 10000000, number))
                o.delay = number;
            else
                bad(name, value, "0..10000000 microseconds", std::to_string(o.delay));
            break;
        case Opt::CellSize:
            if (ParseLong(value, 10, 1, 128, number))
                o.cellSize = static_cast<int>(number);
            else
                bad(name, value, "1..128 pixels", std::to_string(o.cellSize));
            break;
        case Opt::Kinds:
            if (ParseLong(value, 10, 3, 5, number))
                o.kinds = static_cast<int>(number);
            else
                bad(name, value, "3..5", std::to_string(o.kinds));
            break;
        case Opt::Speed:
            if (ParseLong(value, 10, 0, 200, number))
                o.speed = static_cast<int>(number);
            else
                bad(name, value, "0..200 milliseconds", std::to_string(o.speed));
            break;
        case Opt::Pattern: {
            const auto* found = std::find(std::begin(kPatterns), std::end(kPatterns), value);
            if (found != std::end(kPatterns))
                o.pattern = static_cast<int>(found - std::begin(kPatterns)) + 1;
            else
                bad(name, value, "random, line, square, h-line or v-line", kPatterns[o.pattern - 1]);
            break;
        }
        case Opt::FillColour:
            if (ParseHexColour(value, o.fillColour)) {
                o.fillColourName.clear();
            } else if (LooksLikeColourName(value)) {
                o.fillColourName = value;
            } else {
                char kept[8];
                std::snprintf(kept, sizeof kept, "%06x", static_cast<unsigned>(o.fillColour));
                bad(name, value, "a colour (rrggbb, #rrggbb or a name)",
                    o.fillColourName.empty() ? kept : o.fillColourName);
            }
            break;
        }
    }

    // The daemon's window stands in for the root, as its own modules take it.
    unsigned long envId = 0;
    const bool fromEnv = !idGiven && root && saverWindow && *saverWindow;
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

BoardLook ModuleLook(const ModuleOptions& options)
{
    BoardLook look;
    look.cellSize = options.cellSize;
    look.play = {options.pattern, options.kinds, options.stillFirstFrame};
    look.fill = {options.fillEmpty, options.fillPieces, options.fillColour};
    look.stepMs = options.speed;
    return look;
}

long StepInterval(const ModuleOptions& options, int milliseconds)
{
    return std::max(milliseconds * 1000L, options.delay);
}
