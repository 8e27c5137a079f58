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

// The switch part of an argument: without its one leading '-' or '/' and
// without a ":handle" tail.
std::string SwitchText(const std::string& arg, std::string* tail)
{
    std::string rest = arg;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '/'))
        rest.erase(0, 1);
    const size_t colon = rest.find(':');
    if (colon != std::string::npos) {
        if (tail)
            *tail = rest.substr(colon + 1);
        rest.erase(colon);
    }
    return rest;
}

}  // namespace

bool MatchSwitch(const std::string& arg, const std::string& key)
{
    return EqualNoCase(SwitchText(arg, nullptr), key);
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
    } kSwitches[] = {
        {"c", SaverMode::Configure},
        {"p", SaverMode::Preview},
        {"s", SaverMode::FullScreen},
        {"a", SaverMode::ChangePassword},
    };
    for (const auto& entry : kSwitches) {
        if (!MatchSwitch(first, entry.key))
            continue;
        request.mode = entry.mode;
        std::string tail;
        if (first.find(':') != std::string::npos) {
            SwitchText(first, &tail);
            request.hasHandle = true;
            request.handle = AtoL(tail);
        } else if (args.size() > 1) {
            request.hasHandle = true;
            request.handle = AtoL(args[1]);
        }
        return request;
    }
    return request;
}
