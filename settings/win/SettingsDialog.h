#pragma once
#include "board/win/BoardWnd.h"
#include "platform/Dialog.h"
#include "base/Settings.h"

#include <string>

// The system boxes the settings dialog opens. Tests answer them without a
// screen by overriding these.
class SettingsPrompts {
public:
    virtual ~SettingsPrompts() = default;
    // The open-file dialog with the must-exist flags and a help button:
    // true and the full path on OK.
    virtual bool OpenFile(HWND owner, const std::string& defaultExt, const std::string& fileName,
                          const std::string& filter, std::string& path);
    // An OK-only box captioned with the program's name.
    virtual void Message(HWND owner, const std::string& text);
};

// The message for a piece image that cannot be used: what happened, then
// the reason in one line, in the program's language.
std::string ImageRefusalMessage(const ImageRefusal& refusal);

// The configuration window: every setting but the password, with a live
// preview board that plays with the values being edited. Nothing reaches
// the registry here; the caller saves the fields after OK.
class SettingsDialog : public Dialog {
public:
    explicit SettingsDialog(HWND parent = nullptr);
    ~SettingsDialog() override;

    // The prompts the dialog uses from now on; null restores the system's.
    void SetPrompts(SettingsPrompts* prompts) { m_pPrompts = prompts ? prompts : &m_systemPrompts; }

    BoardWnd& Preview() { return m_preview; }
    const BoardWnd& Preview() const { return m_preview; }

    // The values being edited; after OK, the ones to save.
    const Settings& Values() const { return m_settings; }

    // The colour in its registry form: as read, or as chosen.
    std::string BCColText;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void LoadFields();
    void CheckBitmap();
    void ShowFields();
    RECT PreviewPlace() const;
    void CreatePreview();
    void PlacePreview();
    Settings PreviewVariant() const;
    bool ApplyPreview();

    void OnShowWindow(BOOL show);
    void OnActivate(UINT state);
    bool OnSysCommand(UINT id);
    void OnHScroll(HWND bar, int code, int thumb);
    bool OnPaint();

    void OnPattern(int button);
    void OnNumber(int button);
    void OnSize(int button);
    void OnBgmCheck();
    void OnSoundCheck();
    void OnBmpOption();
    void OnFillOption(int box);
    void OnChooseBitmap();
    void OnChooseSound(std::string& path, int edit);
    void OnChooseMidi();
    void OnFillColour();
    void OnAbout();
    void OnChangePassword();

    bool IsChecked(int id) const;
    void SetText(int id, const std::string& text);
    void SetNumber(int id, int value);
    void ShowFillColourButton();

    Settings m_settings;
    BoardWnd m_preview;
    HICON m_hIcon;

    SettingsPrompts m_systemPrompts;
    SettingsPrompts* m_pPrompts = &m_systemPrompts;
};
