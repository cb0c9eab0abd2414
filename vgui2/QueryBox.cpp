#include "vgui2/QueryBox.h"

#include "platform/Text.h"
#include "vgui2/Button.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

namespace {

constexpr int kEdgeGap = 15;
constexpr int kOkGap = 1;
constexpr int kCancelGap = 16;

}  // namespace

void QueryBox::AddMessageHandlers(PanelMessageMap&) {}

QueryBox::QueryBox(const char* title, const char* text, Frame* parent) : MessageBox(title, text, parent) {
    SetDeleteSelfOnClose(true);
    m_cancelButton = new Button(this, "CancelButton", "#QueryBox_Cancel");
    m_cancelButton->SetCommand("Cancel");
    GetOKButton()->SetCommand("OK");
    GetOKButton()->SetTabPosition(1);
    m_cancelButton->SetTabPosition(2);
}

QueryBox::~QueryBox() {
    KeyValues::Destroy(m_okCommand);
    KeyValues::Destroy(m_cancelCommand);
}

void QueryBox::SetOKCommand(KeyValues* command) {
    KeyValues::Destroy(m_okCommand);
    m_okCommand = command;
}

void QueryBox::SetCancelCommand(KeyValues* command) {
    KeyValues::Destroy(m_cancelCommand);
    m_cancelCommand = command;
}

void QueryBox::OnCommand(const char* command) {
    bool ok = platform::CompareNoCase(command, "OK") == 0;
    bool cancel = platform::CompareNoCase(command, "Cancel") == 0;
    if (!ok && !cancel) {
        MessageBox::OnCommand(command);
        return;
    }
    // Escape reaches the box twice (its press and its typed form); once it
    // is closing, a second answer must not be posted.
    if (IsMarkedForDeletion()) {
        return;
    }
    KeyValues* answer = ok ? m_okCommand : m_cancelCommand;
    SetCloseSignal(answer ? answer->MakeCopy() : nullptr);
    // Closing may delete the box at once; it is not touched afterwards.
    MessageBox::OnCommand("Close");
}

void QueryBox::OnKeyCodeTyped(KeyCode code) {
    if (code == KEY_ESCAPE) {
        OnCommand("Cancel");
        return;
    }
    MessageBox::OnKeyCodeTyped(code);
}

void QueryBox::PerformLayout() {
    MessageBox::PerformLayout();
    int x = 0, y = 0, wide = 0, tall = 0;
    GetClientArea(x, y, wide, tall);
    int right = x + wide;
    int bottom = y + tall;
    SizeButtonToContents(m_cancelButton);
    Button* okButton = GetOKButton();
    okButton->SetPos(x + right / 2 - okButton->GetWide() - kOkGap, bottom - okButton->GetTall() - kEdgeGap);
    m_cancelButton->SetPos(x + right / 2 + kCancelGap, bottom - m_cancelButton->GetTall() - kEdgeGap);
}

}  // namespace vgui2
