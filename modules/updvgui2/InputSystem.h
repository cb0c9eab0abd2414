// The input service: key focus, the panel under the pointer, mouse capture,
// key and button state, and the application-modal panel. Raw platform input
// (the Internal* calls, made by the surface's event pump or by tests) is
// turned into panel messages sent at once: pointer messages go to the
// capturing panel or the panel under the pointer, key messages to the key
// focus. While a modal panel is set, panels outside its tree get neither
// pointer nor key input nor focus. GUI thread only.
#pragma once

#include <array>

#include "services/IInput.h"

class KeyValues;

class CInputSystem final : public vgui2::IInput {
public:
    void SetMouseFocus(vgui2::VPANEL newMouseFocus) override;
    void SetMouseCapture(vgui2::VPANEL panel) override;
    vgui2::VPANEL GetMouseCapture() override;
    vgui2::VPANEL GetFocus() override;
    vgui2::VPANEL GetMouseOver() override;
    void SetKeyFocus(vgui2::VPANEL panel) override;

    void SetCursorPos(int x, int y) override;
    void GetCursorPos(int& x, int& y) override;
    vgui2::HCursor GetCursorOveride() override;
    void SetCursorOveride(vgui2::HCursor cursor) override;

    bool WasMousePressed(vgui2::MouseCode code) override;
    bool WasMouseDoublePressed(vgui2::MouseCode code) override;
    bool IsMouseDown(vgui2::MouseCode code) override;
    bool WasMouseReleased(vgui2::MouseCode code) override;
    bool WasKeyPressed(vgui2::KeyCode code) override;
    bool IsKeyDown(vgui2::KeyCode code) override;
    bool WasKeyTyped(vgui2::KeyCode code) override;
    bool WasKeyReleased(vgui2::KeyCode code) override;
    void GetKeyCodeText(vgui2::KeyCode code, char* buffer, int bufferSize) override;

    vgui2::VPANEL GetAppModalSurface() override;
    void SetAppModalSurface(vgui2::VPANEL panel) override;
    void ReleaseAppModalSurface() override;

    void InternalCursorMoved(int x, int y) override;
    void InternalMousePressed(vgui2::MouseCode code) override;
    void InternalMouseDoublePressed(vgui2::MouseCode code) override;
    void InternalMouseReleased(vgui2::MouseCode code) override;
    void InternalMouseWheeled(int delta) override;
    void InternalKeyCodePressed(vgui2::KeyCode code) override;
    void InternalKeyCodeTyped(vgui2::KeyCode code) override;
    void InternalKeyTyped(vgui2::wchar unichar) override;
    void InternalKeyCodeReleased(vgui2::KeyCode code) override;

    // The GUI loop's side: the "was" states describe one frame, and a
    // deleted panel must not stay focused, captured or modal.
    void BeginFrame();
    void PanelDeleted(vgui2::VPANEL panel);

private:
    static constexpr int kKeyCount = vgui2::KEY_LAST + 1;
    static constexpr int kMouseCount = vgui2::MOUSE_LAST + 1;

    struct ButtonStates {
        bool down = false;
        bool pressed = false;
        bool doublePressed = false;
        bool released = false;
        bool typed = false;
    };

    bool AcceptsInput(vgui2::VPANEL panel);
    vgui2::VPANEL PointerTarget() const;
    vgui2::VPANEL KeyTarget();
    vgui2::VPANEL HitTest(int x, int y);
    void Send(vgui2::VPANEL target, KeyValues* message);
    void SendCode(vgui2::VPANEL target, const char* name, const char* key, int value);
    static ButtonStates* Key(std::array<ButtonStates, kKeyCount>& keys, vgui2::KeyCode code);

    vgui2::VPANEL m_keyFocus = vgui2::kNoPanel;
    vgui2::VPANEL m_mouseOver = vgui2::kNoPanel;
    vgui2::VPANEL m_mouseCapture = vgui2::kNoPanel;
    vgui2::VPANEL m_appModal = vgui2::kNoPanel;
    int m_cursorX = 0;
    int m_cursorY = 0;
    vgui2::HCursor m_cursorOverride = 0;
    std::array<ButtonStates, kKeyCount> m_keys{};
    std::array<ButtonStates, kMouseCount> m_buttons{};
};

// The module's one instance, with the GUI loop's extra operations.
CInputSystem& TheInputImpl();
