#pragma once
#include "saver/Monitors.h"
#include "saver/SaverRules.h"
#include "saver/win/SaverWnd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The monitors as the system reports them now.
std::vector<ScreenArea> SystemMonitors();

// A full-screen run: one board per monitor and the rules that hold across
// them. The first mouse position is one for all boards, in screen
// coordinates; input on any board ends the whole run, after the password
// when one is in force, asked once on the primary board. The black-out
// comes to every board at once. Only the primary board sounds. The run ends
// when the primary board's window goes.
class SaverSession {
public:
    static constexpr UINT kMonitorPollMs = 1000;

    using MonitorSource = std::function<std::vector<ScreenArea>()>;

    // Tests bring their own monitors and sound devices.
    explicit SaverSession(MonitorSource monitors = SystemMonitors, const SoundServices* sound = nullptr);
    virtual ~SaverSession();
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;

    // The settings with the full-screen rules applied; `title` names the
    // primary board. False when not even the primary board could be made.
    bool Start(const Settings& settings, const std::wstring& title);

    // The primary board, whose window lives as long as the run.
    const SaverWnd* Primary() const { return m_boards.empty() ? nullptr : m_boards.front().get(); }

    // What the boards report. Requests go to the primary board as posted
    // messages: a board that a new layout removes, or that the password
    // question would outlive, must not be running a handler then.
    void OnMouseMove(POINT screen);
    void OnCloseInput() { Post(SaverWnd::kCloseRequest); }
    void RequestClose() { Post(WM_CLOSE); }
    void RequestFollowMonitors() { Post(SaverWnd::kFollowMonitors); }
    void OnBlackOutTimer();
    void OnMoveSettled();
    // The system told of a new display layout or work area.
    void OnDisplayNotice();

    // On the primary board: asks to close and closes when it may; every
    // board follows the monitors when they changed; the others' windows go
    // as the primary closes.
    void CloseRequest();
    void FollowMonitors();
    void CloseBoards();

protected:
    // Runs the password dialog on the primary board: the text on OK.
    virtual std::optional<std::string> AskPassword();

    // Tests shorten the minute of the black-out timer.
    void SetMinuteLength(std::uint32_t ms) { m_minuteMs = ms; }

private:
    // True when the run may end now; asks for the password if needed.
    bool ConfirmClose();
    void Post(UINT msg);
    std::vector<ScreenArea> CurrentAreas() const;
    void StartBlackOutTimer();
    void TakePointerAnew();
    Settings BoardSettings(bool primary) const;
    bool AddBoard(const ScreenArea& area);

    bool IsBlackedOut();
    void WakeFromBlackOut();

    MonitorSource m_monitors;
    const SoundServices* m_sound;
    Settings m_settings;
    std::wstring m_title;
    std::vector<std::unique_ptr<SaverWnd>> m_boards;
    std::vector<ScreenArea> m_areas;  // what the boards cover, in their order
    std::optional<std::uint32_t> m_layoutChangedAt;
    std::optional<std::uint32_t> m_displayNoticeAt;
    bool m_movePending = false;  // a move that may end the run is settling
    FirstMouse m_firstMouse;
    std::uint32_t m_minuteMs = 60000;
    bool m_cursorHidden = false;
    bool m_asking = false;  // the password dialog is up
};
