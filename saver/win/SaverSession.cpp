#include "saver/win/SaverSession.h"

#include "saver/win/PasswordDialog.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<ScreenArea>*>(data)->push_back(
            {r.left, r.top, r.right, r.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::vector<ScreenArea> SystemMonitors()
{
    std::vector<ScreenArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::vector<ScreenArea> SaverSession::CurrentAreas() const
{
    const ScreenArea screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), true};
    return BoardAreas(m_monitors(), screen);
}

SaverSession::SaverSession(MonitorSource monitors, const SoundServices* sound)
    : m_monitors(std::move(monitors)), m_sound(sound)
{
}

SaverSession::~SaverSession()
{
    m_boards.clear();
    if (m_cursorHidden)
        ShowCursor(TRUE);
}

bool SaverSession::Start(const Settings& settings, const std::wstring& title)
{
    if (!m_boards.empty())
        return false;
    m_settings = settings;
    m_title = title;
    m_areas = CurrentAreas();
    for (const ScreenArea& area : m_areas) {
        if (!AddBoard(area) && m_boards.empty())
            return false;
    }
    StartBlackOutTimer();
    // Not every system tells its windows of a new layout.
    SetTimer(Primary()->Handle(), SaverWnd::kMonitorTimer, kMonitorPollMs, nullptr);
    if (m_settings.BGM)
        m_boards.front()->View().StartMusic(true);

    ShowCursor(FALSE);
    m_cursorHidden = true;
    return true;
}

Settings SaverSession::BoardSettings(bool primary) const
{
    // The password is the session's; one board is enough to hear.
    Settings settings = m_settings;
    settings.PassWord.clear();
    if (!primary) {
        settings.Sound = 0;
        settings.BGM = 0;
    }
    return settings;
}

bool SaverSession::AddBoard(const ScreenArea& area)
{
    const bool primary = m_boards.empty();
    auto board = std::make_unique<SaverWnd>(*this, primary, m_sound);
    const RECT rect{area.left, area.top, area.right, area.bottom};
    if (!board->Create(rect))
        return false;
    // The run is found by its primary board, which lasts as long as the run.
    if (primary)
        SetWindowTextW(board->Handle(), m_title.c_str());
    board->View().Apply(BoardSettings(primary));
    if (!primary && IsBlackedOut())
        board->View().BlackOut();
    if (m_asking)
        EnableWindow(board->Handle(), FALSE);
    m_boards.push_back(std::move(board));
    return true;
}

void SaverSession::Post(UINT msg)
{
    if (const SaverWnd* primary = Primary(); primary && primary->Handle())
        PostMessageW(primary->Handle(), msg, 0, 0);
}

void SaverSession::OnMouseMove(POINT screen)
{
    const ScreenPoint from = m_firstMouse.Position();
    if (!m_firstMouse.OnMove(screen.x, screen.y) || m_movePending || !Primary() || !Primary()->Handle())
        return;
    MoveFacts facts;
    facts.now = GetTickCount();
    facts.layoutChangedAt = m_layoutChangedAt;
    facts.displayNoticeAt = m_displayNoticeAt;
    facts.monitorsChanged = !SameAreas(CurrentAreas(), m_areas);
    facts.from = from;
    facts.to = {screen.x, screen.y};
    facts.areas = m_areas;
    const MoveVerdict verdict = JudgeMove(facts);
    if (verdict == MoveVerdict::Layout) {
        // Following forgets the pointer; not here, where a board may go.
        RequestFollowMonitors();
        return;
    }
    m_movePending = true;
    SetTimer(Primary()->Handle(), SaverWnd::kMoveSettleTimer,
             verdict == MoveVerdict::Check ? kMoveCheckMs : kMoveSettleMs, nullptr);
}

void SaverSession::OnMoveSettled()
{
    KillTimer(Primary()->Handle(), SaverWnd::kMoveSettleTimer);
    m_movePending = false;
    FollowMonitors();
    if (SettledMoveIsTheUsers(GetTickCount(), m_layoutChangedAt, m_displayNoticeAt))
        Post(SaverWnd::kCloseRequest);
    else
        TakePointerAnew();
}

void SaverSession::OnDisplayNotice()
{
    m_displayNoticeAt = GetTickCount();
    RequestFollowMonitors();
}

void SaverSession::TakePointerAnew()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    m_firstMouse.Forget();
    m_firstMouse.OnMove(cursor.x, cursor.y);
}

void SaverSession::CloseRequest()
{
    if (ConfirmClose())
        Post(WM_CLOSE);
}

bool SaverSession::ConfirmClose()
{
    // The boards are disabled while it asks, but a request that slipped
    // through must not stack a second question on the first.
    if (m_asking || m_boards.empty())
        return false;
    const CloseStart start = StartCloseRequest(m_settings.PassWord, IsBlackedOut());
    if (start == CloseStart::Close)
        return true;
    m_asking = true;
    if (start == CloseStart::WakeAndAsk)
        WakeFromBlackOut();
    const CloseAnswer answer = AnswerCloseRequest(AskPassword(), m_settings.PassWord, m_settings.BlackOutTime);
    m_asking = false;
    if (answer.restartBlackOut)
        StartBlackOutTimer();
    if (answer.forgetMouse)
        m_firstMouse.Forget();
    return answer.close;
}

std::optional<std::string> SaverSession::AskPassword()
{
    // The dialog disables its owner, the primary board; the others too.
    for (std::size_t i = 1; i < m_boards.size(); ++i)
        EnableWindow(m_boards[i]->Handle(), FALSE);
    std::optional<std::string> entered = ::AskPassword(m_boards.front()->Handle());
    for (std::size_t i = 1; i < m_boards.size(); ++i)
        EnableWindow(m_boards[i]->Handle(), TRUE);
    return entered;
}

bool SaverSession::IsBlackedOut()
{
    return !m_boards.empty() && m_boards.front()->View().BlackedOut();
}

void SaverSession::WakeFromBlackOut()
{
    for (const auto& board : m_boards)
        board->View().Wake();
}

void SaverSession::OnBlackOutTimer()
{
    for (const auto& board : m_boards)
        board->View().BlackOut();
}

void SaverSession::StartBlackOutTimer()
{
    const std::uint32_t interval = BlackOutInterval(m_settings.BlackOutTime, m_minuteMs);
    if (interval != 0 && Primary() && Primary()->Handle())
        SetTimer(Primary()->Handle(), SaverWnd::kBlackOutTimer, interval, nullptr);
}

void SaverSession::FollowMonitors()
{
    std::vector<ScreenArea> areas = CurrentAreas();
    if (m_boards.empty() || SameAreas(areas, m_areas))
        return;
    m_areas = std::move(areas);
    m_layoutChangedAt = GetTickCount();
    m_firstMouse.Forget();
    // Boards beyond the new count go first, so none covers a screen that is gone.
    if (m_boards.size() > m_areas.size())
        m_boards.resize(m_areas.size());
    for (std::size_t i = 0; i < m_areas.size(); ++i) {
        const ScreenArea& a = m_areas[i];
        if (i >= m_boards.size()) {
            AddBoard(a);
            continue;
        }
        // A board whose size stays keeps its game; a new size deals anew.
        SetWindowPos(m_boards[i]->Handle(), HWND_TOPMOST, a.left, a.top, a.right - a.left, a.bottom - a.top,
                     SWP_NOACTIVATE);
    }
}

void SaverSession::CloseBoards()
{
    if (!m_boards.empty())
        m_boards.resize(1);
}
