#pragma once
#include <windows.h>

#include <string>

// The base of our modal dialogs, each a small class inside the function
// that runs it. The object is bound to its window (in DWLP_USER) from
// WM_INITDIALOG until the window goes; a dialog reads and writes its
// controls itself.
class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    HWND Handle() const { return m_hWnd; }

    // The dialog of ours that runs in a window; null for any other window.
    static ModalDialog* Bound(HWND hwnd);

protected:
    explicit ModalDialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~ModalDialog() = default;

    // Runs the dialog over the owner's top-level window, which is disabled
    // meanwhile. The code given to End, or -1 when the dialog could not be
    // made.
    INT_PTR Run(HWND owner);
    void End(INT_PTR result);
    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }

    // On WM_INITDIALOG; true lets the dialog manager set the focus.
    virtual bool Init() { return true; }
    // A click, notification or menu command; true when handled. What is not
    // handled of OK and Cancel (Enter, Escape, the close box) ends the
    // dialog with their id.
    virtual bool Command(int /*id*/, int /*code*/) { return false; }
    // Any other message; false leaves it to the dialog manager.
    virtual INT_PTR Message(UINT msg, WPARAM wParam, LPARAM lParam);

    // Controls with ids from first to last show the string resource with
    // their id as a tooltip. Call once the window exists.
    void EnableToolTips(int firstId, int lastId);

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    bool AnswerToolTip(NMHDR* header);

    UINT m_templateId;
    HWND m_hWnd = nullptr;
    int m_tipFirst = 0, m_tipLast = -1;
    std::wstring m_toolTipText;  // must outlive the notification
};

// A control's whole text as UTF-8.
std::string GetDlgItemUtf8(HWND dialog, int id);

// An OK-only box.
void ShowMessage(HWND owner, const std::string& text, const std::wstring& caption);
// The program's file name without folder and extension, as the settings
// dialog captions its boxes.
std::wstring ProgramName();
