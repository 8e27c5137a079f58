#include "saver/SaverRules.h"

#include <climits>

namespace {

constexpr unsigned kScScreenSave = 0xF140;
constexpr unsigned kScClose = 0xF060;

}  // namespace

int BoundCellSize(int cellSize)
{
    if (cellSize < kMinFullScreenCellSize)
        return kMinFullScreenCellSize;
    if (cellSize > kMaxFullScreenCellSize)
        return kMaxFullScreenCellSize;
    return cellSize;
}

int FullScreenBlackOutTime(int blackOutTime, long lowPowerMinutes)
{
    if (blackOutTime < 0)
        blackOutTime = 0;
    if (lowPowerMinutes <= 0)
        return blackOutTime;
    const int limit = lowPowerMinutes > INT_MAX ? INT_MAX : static_cast<int>(lowPowerMinutes);
    if (blackOutTime == 0 || blackOutTime > limit)
        return limit;
    return blackOutTime;
}

void ApplyFullScreenRules(Settings& settings, const DesktopSaverValues& desktop)
{
    if (!desktop.UsePassword)
        settings.PassWord.clear();
    settings.BlackOutTime = FullScreenBlackOutTime(settings.BlackOutTime, desktop.LowPowerMinutes);
    settings.CellSize = BoundCellSize(settings.CellSize);
}

bool FirstMouse::OnMove(int x, int y)
{
    if (!m_seen) {
        m_seen = true;
        m_x = x;
        m_y = y;
        return false;
    }
    return x != m_x || y != m_y;
}

CloseStart StartCloseRequest(const std::string& password, bool blackedOut)
{
    if (password.empty())
        return CloseStart::Close;
    return blackedOut ? CloseStart::WakeAndAsk : CloseStart::Ask;
}

CloseAnswer AnswerCloseRequest(const std::optional<std::string>& entered, const std::string& password,
                               int blackOutTime)
{
    CloseAnswer answer;
    answer.close = entered && PasswordMatches(*entered, password);
    answer.forgetMouse = !answer.close;
    answer.restartBlackOut = !answer.close && blackOutTime > 0;
    return answer;
}

bool IsSwallowedSysCommand(unsigned command)
{
    const unsigned code = command & 0xFFF0;
    return code == kScScreenSave || code == kScClose;
}

std::uint32_t BlackOutInterval(int minutes, std::uint32_t msPerMinute)
{
    if (minutes <= 0)
        return 0;
    const std::uint64_t ms = static_cast<std::uint64_t>(minutes) * msPerMinute;
    return ms > kMaxTimerInterval ? kMaxTimerInterval : static_cast<std::uint32_t>(ms);
}
