// Button: a label that can be armed (pointer over it or key held), pressed
// and clicked. A click sends its command as an action signal to its
// targets (its container among them); a command "url ..." also opens the
// address with the desktop. It can be its dialog's default button, shown
// with the key-focus border, which Enter presses. The mouse, Space and
// Enter activate it; the activation type decides whether the press or the
// release clicks. It leaves out sounds.
#pragma once

#include "vgui2/Label.h"

namespace vgui2 {

class IBorder;

class Button : public Label {
    VGUI2_PANEL_CLASS(Button, Label);

public:
    enum ActivationType {
        ACTIVATE_ONPRESSEDANDRELEASED = 0,
        ACTIVATE_ONPRESSED = 1,
        ACTIVATE_ONRELEASED = 2,
    };

    Button(Panel* parent, const char* panelName, const char* text);
    Button(Panel* parent, const char* panelName, const wchar* text);
    ~Button() override;

    virtual void SetArmed(bool state);
    virtual bool IsArmed();
    virtual bool IsDepressed();
    virtual void ForceDepressed(bool state);
    virtual void SetSelected(bool state);
    virtual bool IsSelected();
    virtual void SetUseCaptureMouse(bool state);
    virtual bool IsUseCaptureMouseEnabled();
    virtual void DoClick();
    virtual void SetMouseClickEnabled(MouseCode code, bool state);
    virtual bool IsMouseClickEnabled(MouseCode code);
    virtual void SetButtonActivationType(ActivationType type);
    virtual void FireActionSignal();
    virtual bool CanBeDefaultButton();
    virtual void SetAsDefaultButton(int state);
    virtual void SetAsCurrentDefaultButton(int state);
    bool IsDefaultButton() const { return m_isDefault; }
    bool IsCurrentDefaultButton() const { return m_isCurrentDefault; }
    virtual void SetButtonBorderEnabled(bool state);
    virtual void SetDefaultColor(Color fg, Color bg);
    virtual void SetArmedColor(Color fg, Color bg);
    virtual void SetDepressedColor(Color fg, Color bg);
    virtual Color GetButtonFgColor();
    virtual Color GetButtonBgColor();
    virtual void SetDefaultBorder(IBorder* border);
    virtual void SetDepressedBorder(IBorder* border);
    virtual void SetKeyFocusBorder(IBorder* border);
    // Takes the message.
    virtual void SetCommand(KeyValues* message);
    virtual void SetCommand(const char* command);
    KeyValues* GetCommand() { return m_command; }
    virtual void DrawFocusBorder(int x0, int y0, int x1, int y1);
    // The panel's own border stays reachable beside the state-chosen one.
    using Panel::GetBorder;
    virtual IBorder* GetBorder(bool depressed, bool armed, bool selected, bool keyFocus);

    void SizeToContents() override;
    bool RequestInfo(KeyValues* outputData) override;
    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void Paint() override;
    void OnCursorEntered() override;
    void OnCursorExited() override;
    void OnMousePressed(MouseCode code) override;
    void OnMouseReleased(MouseCode code) override;
    void OnKeyCodePressed(KeyCode code) override;
    void OnKeyCodeTyped(KeyCode code) override;
    void OnKeyCodeReleased(KeyCode code) override;
    void OnHotkeyPressed() override;
    virtual void OnSetState(int state);

private:
    void Construct();
    void StateChanged();
    void ReleaseMouseCapture();
    static bool IsActivationKey(KeyCode code);

    bool m_armed = false;
    bool m_selected = false;
    bool m_forceDepressed = false;
    bool m_buttonBorderEnabled = true;
    bool m_useCaptureMouse = true;
    bool m_keyActivation = false;
    bool m_isDefault = false;
    bool m_isCurrentDefault = false;
    int m_mouseClickMask = 0;
    ActivationType m_activationType = ACTIVATE_ONPRESSEDANDRELEASED;
    KeyValues* m_command = nullptr;
    IBorder* m_defaultBorder = nullptr;
    IBorder* m_depressedBorder = nullptr;
    IBorder* m_keyFocusBorder = nullptr;
    Color m_defaultFg, m_defaultBg;
    Color m_armedFg, m_armedBg;
    Color m_depressedFg, m_depressedBg;
    Color m_focusBorderColor{0, 0, 0, 255};
};

}  // namespace vgui2
