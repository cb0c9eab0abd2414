// The input service "VGUI_Input004": key focus, mouse focus and capture,
// pointer position, key and button state, the application-modal panel, and
// the entry points through which the platform's events arrive.
#pragma once

#include "services/VGuiTypes.h"

namespace vgui2 {

inline constexpr const char* VGUI_INPUT_INTERFACE_VERSION = "VGUI_Input004";

class IInput {
public:
    virtual void SetMouseFocus(VPANEL newMouseFocus) = 0;
    virtual void SetMouseCapture(VPANEL panel) = 0;
    virtual VPANEL GetMouseCapture() = 0;
    virtual VPANEL GetFocus() = 0;
    // The panel under the pointer, found by hit testing.
    virtual VPANEL GetMouseOver() = 0;
    // Moves key focus to the panel (the focus request at the top of a tree).
    virtual void SetKeyFocus(VPANEL panel) = 0;

    virtual void SetCursorPos(int x, int y) = 0;
    virtual void GetCursorPos(int& x, int& y) = 0;
    virtual HCursor GetCursorOveride() = 0;
    virtual void SetCursorOveride(HCursor cursor) = 0;

    virtual bool WasMousePressed(MouseCode code) = 0;
    virtual bool WasMouseDoublePressed(MouseCode code) = 0;
    virtual bool IsMouseDown(MouseCode code) = 0;
    virtual bool WasMouseReleased(MouseCode code) = 0;
    virtual bool WasKeyPressed(KeyCode code) = 0;
    virtual bool IsKeyDown(KeyCode code) = 0;
    virtual bool WasKeyTyped(KeyCode code) = 0;
    virtual bool WasKeyReleased(KeyCode code) = 0;
    virtual void GetKeyCodeText(KeyCode code, char* buffer, int bufferSize) = 0;

    // At most one application-modal panel; input outside it is refused.
    virtual VPANEL GetAppModalSurface() = 0;
    virtual void SetAppModalSurface(VPANEL panel) = 0;
    virtual void ReleaseAppModalSurface() = 0;

    // Raw input from the platform; each becomes the matching panel message.
    virtual void InternalCursorMoved(int x, int y) = 0;
    virtual void InternalMousePressed(MouseCode code) = 0;
    virtual void InternalMouseDoublePressed(MouseCode code) = 0;
    virtual void InternalMouseReleased(MouseCode code) = 0;
    virtual void InternalMouseWheeled(int delta) = 0;
    virtual void InternalKeyCodePressed(KeyCode code) = 0;
    virtual void InternalKeyCodeTyped(KeyCode code) = 0;
    virtual void InternalKeyTyped(wchar unichar) = 0;
    virtual void InternalKeyCodeReleased(KeyCode code) = 0;

protected:
    ~IInput() = default;
};

}  // namespace vgui2
