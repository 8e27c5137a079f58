#pragma once
#include "board/win/BoardWnd.h"
#include "saver/SaverRules.h"

#include <string>

// The full-screen run: a board over the whole screen, above everything,
// without a cursor, that closes on the user's first real input, after the
// saver's own password when one is in force. Its window's end ends the
// run; the object shows the cursor again.
class SaverWnd : public BoardWnd, private CloseRequestHost {
public:
    SaverWnd();
    ~SaverWnd() override;

    // FALSE when the window could not be made.
    BOOL CreateFullScreen();

    // TRUE when the saver may close now; asks for the password if needed.
    BOOL ConfirmClose();

protected:
    // Tests bring their own sound devices.
    explicit SaverWnd(const SoundServices* sound);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Runs the password dialog modally; true with the text on OK.
    bool AskPassword(std::string& entered) override;

    FirstMouse m_ptFirstMouse;

private:
    void CloseRequest();

    bool IsBlackedOut() override;
    void WakeFromBlackOut() override;
    void RestartBlackOutTimer() override;

    bool m_bCursorHidden = false;
    bool m_bAsking = false;  // the password dialog is up
};
