#pragma once
#include <windows.h>

#include <string>

// A modal dialog on a dialog resource. The object is bound to its window
// from WM_INITDIALOG until DoModal returns; a dialog reads and writes its
// controls itself, on opening and at OK.
class Dialog {
public:
    explicit Dialog(UINT templateId, HWND owner = nullptr) : m_templateId(templateId), m_owner(owner) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The end code (IDOK, IDCANCEL, ...), or -1 when the dialog could not be
    // made. The owner is disabled while it runs.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    HWND Handle() const { return m_hWnd; }
    HWND GetDlgItem(int id) const;

protected:
    // TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A control notification or menu command; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Every message after WM_INITDIALOG; FALSE leaves it to the dialog manager.
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Controls with ids from first to last show the string resource with
    // their id as a tooltip. Call once the window exists.
    void EnableToolTips(int firstId, int lastId);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool AnswerToolTip(NMHDR* header);

    UINT m_templateId;
    HWND m_owner;
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
