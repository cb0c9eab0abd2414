// QueryBox: a message box that asks: OK and Cancel, each closing the box
// and then posting its own command (when set) to the box's action-signal
// targets. Escape answers Cancel. The box deletes itself when closed.
#pragma once

#include "vgui2/MessageBox.h"

namespace vgui2 {

class QueryBox : public MessageBox {
    VGUI2_PANEL_CLASS(QueryBox, MessageBox);

public:
    QueryBox(const char* title, const char* text, Frame* parent = nullptr);
    ~QueryBox() override;

    // Take the message.
    virtual void SetOKCommand(KeyValues* command);
    virtual void SetCancelCommand(KeyValues* command);

    Button* GetCancelButton() { return m_cancelButton; }

    void OnCommand(const char* command) override;

protected:
    void OnKeyCodeTyped(KeyCode code) override;
    void PerformLayout() override;

private:
    Button* m_cancelButton = nullptr;
    KeyValues* m_cancelCommand = nullptr;
    KeyValues* m_okCommand = nullptr;
};

}  // namespace vgui2
