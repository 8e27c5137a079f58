#include "app/CommandLine.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
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
    handle = AtoL(rest.substr(colon + 1));
    return true;
}

long AtoL(const std::string& text)
{
    // The Windows runtime's long has 32 bits; saturate at its range on
    // every platform so that host and Windows agree.
    const long long kMax = 2147483647LL;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax + 1)
            value = kMax + 1;
    }
    if (negative)
        return static_cast<long>(-value);
    return static_cast<long>(value > kMax ? kMax : value);
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
            request.handle = AtoL(args[1]);
        }
        return request;
    }
    return request;
}
