#pragma once
#include "board/win/BoardWnd.h"
#include "saver/SaverRules.h"

#include <cstdint>
#include <string>

// The full-screen run: a board over the whole screen, above everything,
// without a cursor, that closes on the user's first real input, after the
// saver's own password when one is in force, and blacks out after
// BlackOutTime minutes. Ending the window ends the run's message loop.
class SaverWnd : public BoardWnd, private CloseRequestHost {
public:
    static constexpr UINT_PTR kBlackOutTimer = 2;

    explicit SaverWnd(const SoundServices* sound = nullptr) : BoardWnd(sound) {}
    ~SaverWnd() override;

    // Settings with the full-screen rules applied. False when the window
    // could not be made.
    bool CreateFullScreen(const Settings& settings);

    // True when the saver may close now; asks for the password if needed.
    bool ConfirmClose();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Runs the password dialog modally; true with the text on OK.
    virtual bool AskPassword(std::string& entered) override;

    // Tests shorten the minute of the black-out timer.
    void SetMinuteLength(std::uint32_t ms) { m_minuteMs = ms; }

private:
    void CloseRequest();
    void StartBlackOutTimer();

    bool IsBlackedOut() override { return BlackedOut(); }
    void WakeFromBlackOut() override { Wake(); }
    void RestartBlackOutTimer() override { StartBlackOutTimer(); }

    std::string m_password;
    int m_blackOutTime = 0;
    FirstMouse m_firstMouse;
    std::uint32_t m_minuteMs = 60000;
    bool m_cursorHidden = false;
    bool m_asking = false;  // the password dialog is up
};
