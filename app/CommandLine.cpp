#include "app/CommandLine.h"

#include "base/ValueForms.h"

namespace {

bool EqualNoCase(std::string a, std::string b)
{
    LowerAscii(a);
    LowerAscii(b);
    return a == b;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The argument without its one leading '-' or '/'.
std::string SwitchText(const std::string& arg)
{
    return !arg.empty() && (arg[0] == '-' || arg[0] == '/') ? arg.substr(1) : arg;
}

}  // namespace

bool MatchSwitch(const std::string& arg, const std::string& key)
{
    return EqualNoCase(SwitchText(arg), key);
}

bool MatchColonSwitch(const std::string& arg, const std::string& key, long& handle)
{
    const std::string rest = SwitchText(arg);
    const std::size_t colon = key.size();
    if (rest.size() == arg.size() || rest.size() <= colon + 1 || rest[colon] != ':' ||
        !EqualNoCase(rest.substr(0, colon), key))
        return false;
    for (std::size_t i = colon + 1; i < rest.size(); ++i)
        if (!IsDigit(rest[i]))
            return false;
    handle = DecimalToLong(rest.substr(colon + 1));
    return true;
}

StartRequest ParseCommandLine(const std::vector<std::string>& args)
{
    StartRequest request;
    if (args.empty()) {
        request.mode = SaverMode::Configure;
        return request;
    }
    const std::string& first = args[0];
    static const struct {
        const char* key;
        SaverMode mode;
        bool colonForm;
    } kSwitches[] = {
        {"c", SaverMode::Configure, true},
        {"p", SaverMode::Preview, true},
        {"s", SaverMode::FullScreen, false},
        {"a", SaverMode::ChangePassword, true},
    };
    for (const auto& entry : kSwitches) {
        long handle = 0;
        if (entry.colonForm && MatchColonSwitch(first, entry.key, handle)) {
            request.mode = entry.mode;
            request.hasHandle = true;
            request.handle = handle;
            return request;
        }
        if (!MatchSwitch(first, entry.key))
            continue;
        request.mode = entry.mode;
        if (args.size() > 1) {
            request.hasHandle = true;
            request.handle = DecimalToLong(args[1]);
        }
        return request;
    }
    return request;
}
