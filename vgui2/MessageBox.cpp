#include "vgui2/MessageBox.h"

#include <algorithm>
#include <utility>

#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/Button.h"
#include "vgui2/KeyValues.h"
#include "vgui2/Label.h"
#include "vgui2/PanelHandles.h"

namespace vgui2 {

namespace {

constexpr int kTextMargin = 100;
constexpr int kButtonPadding = 10;
constexpr int kEdgeGap = 15;

}  // namespace

void MessageBox::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&MessageBox::OnShutdownRequest>("ShutdownRequest");
}

MessageBox::MessageBox(const char* title, const char* text, Frame* parent) : Frame(parent, nullptr, false) {
    SetTitle(title, true);
    m_messageLabel = new Label(this, nullptr, text);
    // Only the box's own buttons close it.
    Frame::SetMinimizeButtonVisible(false);
    Frame::SetCloseButtonVisible(false);
    SetSizeable(false);
    m_okButton = new Button(this, "OKButton", "#MessageBox_OK");
    m_okButton->SetCommand("Close");
    m_okButton->AddActionSignalTarget(this);
}

MessageBox::~MessageBox() {
    KeyValues::Destroy(m_okCommand);
    KeyValues::Destroy(m_closeSignal);
}

void MessageBox::ApplySchemeSettings(IScheme* schemeData) {
    Frame::ApplySchemeSettings(schemeData);
    m_messageLabel->SizeToContents();
    int labelWide = 0, labelTall = 0;
    m_messageLabel->GetSize(labelWide, labelTall);
    SetSize(labelWide + kTextMargin, labelTall + kTextMargin);
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    if (Panel* over = PanelFromHandle(m_frameOver)) {
        int x = 0, y = 0, overWide = 0, overTall = 0;
        over->GetBounds(x, y, overWide, overTall);
        SetPos(x + (overWide - wide) / 2, y + (overTall - tall) / 2);
    } else {
        int screenWide = 0, screenTall = 0;
        surface()->GetScreenSize(screenWide, screenTall);
        SetPos((screenWide - wide) / 2, (screenTall - tall) / 2);
    }
}

void MessageBox::SizeButtonToContents(Button* button) {
    int contentWide = 0, contentTall = 0;
    button->GetContentSize(contentWide, contentTall);
    button->SetSize(std::max(button->GetWide(), contentWide + kButtonPadding),
                    std::max(button->GetTall(), contentTall + kButtonPadding));
}

void MessageBox::PerformLayout() {
    int x = 0, y = 0, wide = 0, tall = 0;
    GetClientArea(x, y, wide, tall);
    int right = x + wide;
    int bottom = y + tall;

    SizeButtonToContents(m_okButton);
    int okWide = m_okButton->GetWide();
    int okTall = m_okButton->GetTall();
    int labelWide = m_messageLabel->GetWide();
    int boxWide = std::max(GetWide(), labelWide + kTextMargin);
    boxWide = std::max(boxWide, 2 * okWide + kTextMargin);
    // Growing keeps the box centred where the scheme step placed it.
    if (boxWide != GetWide()) {
        int boxX = 0, boxY = 0;
        GetPos(boxX, boxY);
        SetBounds(boxX - (boxWide - GetWide()) / 2, boxY, boxWide, GetTall());
    }

    m_messageLabel->SetPos(x + right / 2 - labelWide / 2, y + kEdgeGap);
    m_okButton->SetPos(x + right / 2 - okWide / 2, bottom - okTall - kEdgeGap);
    Frame::PerformLayout();
}

void MessageBox::DoModal() { DoModal(nullptr); }

void MessageBox::DoModal(Frame* frameOver) {
    ShowWindow(frameOver);
    BecomeAppModal();
}

void MessageBox::ShowWindow(Frame* frameOver) {
    m_frameOver = HandleOf(frameOver);
    SetVisible(true);
    SetEnabled(true);
    MoveToFront();
    surface()->MovePopupToFront(GetVPanel());
    if (m_okButton->IsVisible()) {
        m_okButton->RequestFocus();
    } else {
        RequestFocus();
    }
    InvalidateLayout();
}

void MessageBox::SetCommand(KeyValues* command) {
    KeyValues::Destroy(m_okCommand);
    m_okCommand = command;
}

void MessageBox::SetCommand(const char* command) {
    KeyValues* message = new KeyValues("Command");
    message->SetString("command", command ? command : "");
    SetCommand(message);
}

void MessageBox::SetOKButtonVisible(bool state) { m_okButton->SetVisible(state); }

void MessageBox::SetOKButtonText(const wchar* text) {
    m_okButton->SetText(text);
    InvalidateLayout();
}

void MessageBox::SetOKButtonText(const char* text) {
    m_okButton->SetText(text);
    InvalidateLayout();
}

void MessageBox::SetCloseButtonVisible(bool state) {
    Frame::SetCloseButtonVisible(state);
    m_okButton->SetCommand("");
}

void MessageBox::SetCloseSignal(KeyValues* signal) {
    KeyValues::Destroy(m_closeSignal);
    m_closeSignal = signal;
}

void MessageBox::OnShutdownRequest() { PostMessage(this, new KeyValues("Close")); }

void MessageBox::OnClose() {
    HideForClose();
    if (m_okCommand) {
        PostActionSignal(m_okCommand->MakeCopy());
    }
    if (m_closeSignal) {
        PostActionSignal(std::exchange(m_closeSignal, nullptr));
    }
    // Without a running GUI loop this deletes the box at once; nothing may
    // touch it afterwards.
    MarkForDeletion();
}

}  // namespace vgui2
