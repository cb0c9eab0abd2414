// MessageBox: a small frame with one message and an OK button. It sizes
// itself around the message, centres itself over a given frame or on the
// whole screen, can be application-modal, and deletes itself when closed,
// posting its OK command (when one is set) to its action-signal targets.
// What it leaves out: icons and more than one button (see QueryBox).
#pragma once

#include "vgui2/Frame.h"

namespace vgui2 {

class Button;
class Label;

class MessageBox : public Frame {
    VGUI2_PANEL_CLASS(MessageBox, Frame);

public:
    // A "#" title or text is a token.
    MessageBox(const char* title, const char* text, Frame* parent = nullptr);
    ~MessageBox() override;

    // Shown (over the frame when given) and made the application-modal
    // panel; the modal panel it displaces gets modality back on close.
    void DoModal() override;
    virtual void DoModal(Frame* frameOver);
    virtual void ShowWindow(Frame* frameOver = nullptr);
    // Takes the message.
    virtual void SetCommand(KeyValues* command);
    virtual void SetCommand(const char* command);
    virtual void SetOKButtonVisible(bool state);
    virtual void SetOKButtonText(const wchar* text);
    virtual void SetOKButtonText(const char* text);
    // Also empties the OK button's command: a box without a close button
    // is closed only by whoever opened it.
    void SetCloseButtonVisible(bool state) override;

    void OnClose() override;

    Button* GetOKButton() { return m_okButton; }
    Label* GetMessageLabel() { return m_messageLabel; }

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    virtual void OnShutdownRequest();

    // A signal posted after the box's own OK command when it closes; the
    // box may be gone once closing returns, so a subclass hands over what
    // it wants posted beforehand. Takes the message.
    void SetCloseSignal(KeyValues* signal);

    // Buttons grow to their content plus this padding.
    static void SizeButtonToContents(Button* button);

private:
    Button* m_okButton = nullptr;
    Label* m_messageLabel = nullptr;
    KeyValues* m_okCommand = nullptr;
    KeyValues* m_closeSignal = nullptr;
    HPanel m_frameOver = kNoHandle;
};

}  // namespace vgui2
