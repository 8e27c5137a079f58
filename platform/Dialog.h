#pragma once
#include "platform/Window.h"

#include <string>

class Dialog;

// A scroll-bar control bound by id; positions are the control's own.
class ScrollBar {
public:
    HWND Handle() const { return m_hWnd; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    int GetScrollPos() const;
    void SetScrollPos(int pos, bool redraw = true);
    void SetScrollRange(int minPos, int maxPos, bool redraw = true);
    void GetScrollRange(int& minPos, int& maxPos) const;

private:
    HWND m_hWnd = nullptr;
};

// Moves values between a dialog's controls and its fields, in the direction
// m_bSaveAndValidate says (true: controls to fields). A missing control
// leaves its field as it is.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate) {}

    void Control(int id, ScrollBar& bar);
    void Text(int id, std::string& value);
    void Check(int id, int& value);
    void Scroll(int id, int& value);

private:
    HWND Item(int id) const;

    Dialog& m_dialog;

public:
    const bool m_bSaveAndValidate;
};

// A modal dialog on a dialog resource. Without a parent its owner is the
// application's main window, disabled while the dialog runs.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr) : m_nIDTemplate(templateId), m_hParent(parent) {}

    // The end code (IDOK, IDCANCEL, ...), or -1 when the dialog could not be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    HWND GetDlgItem(int id) const;
    bool UpdateData(bool saveAndValidate = true);

    // Child controls show the string resource with their id as a tooltip.
    // May be called before the dialog window exists.
    void EnableToolTips(bool enable = true);
    HWND ToolTipWindow() const { return m_hToolTip; }

protected:
    // Runs the exchange into the controls; TRUE lets the dialog set the focus.
    virtual BOOL OnInitDialog();
    // Runs the exchange into the fields, then ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange&) {}

    // A control notification or menu command; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The text of a tooltip asking for it by window handle; false leaves
    // the request unhandled.
    virtual bool GetToolTipText(HWND tool, std::wstring& text);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateToolTips();

    UINT m_nIDTemplate;
    HWND m_hParent;
    bool m_bToolTips = false;
    HWND m_hToolTip = nullptr;
    std::wstring m_toolTipText;  // must outlive the notification
};
