#include "vgui2/ScrollBar.h"

#include "services/IScheme.h"
#include "services/ISystem.h"
#include "services/ServicePointers.h"
#include "vgui2/Button.h"
#include "vgui2/KeyValues.h"
#include "vgui2/ScrollBarSlider.h"

namespace vgui2 {

namespace {

// An arrow button: it shows its arrow image and tells the scroll bar while
// the pointer rests on it, so that a held button repeats.
class ScrollBarButton : public Button {
    VGUI2_PANEL_CLASS(ScrollBarButton, Button);

public:
    ScrollBarButton(Panel* parent, const char* panelName, const char* imageName, int imageOffset)
        : Button(parent, panelName, "") {
        ClearImages();
        AddImage(scheme() ? scheme()->GetImage(imageName, false) : nullptr, imageOffset);
        SetContentAlignment(a_center);
    }

protected:
    void ApplySchemeSettings(IScheme* schemeData) override {
        Button::ApplySchemeSettings(schemeData);
        SetDefaultBorder(schemeData->GetBorder("ScrollBarButtonBorder"));
        SetKeyFocusBorder(schemeData->GetBorder("ScrollBarButtonBorder"));
        SetDepressedBorder(schemeData->GetBorder("ScrollBarButtonDepressedBorder"));
    }

    void OnMouseFocusTicked() override { CallParentFunction(new KeyValues("MouseFocusTicked")); }
};

void ScrollBarButton::AddMessageHandlers(PanelMessageMap&) {}

}  // namespace

void ScrollBar::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&ScrollBar::OnSliderMoved>("ScrollBarSliderMoved", "position");
}

ScrollBar::ScrollBar(Panel* parent, const char* panelName, bool vertical) : Panel(parent, panelName) {
    SetSlider(new ScrollBarSlider(nullptr, nullptr, vertical));
    const char* images[2] = {vertical ? "resource/icon_up" : "resource/icon_left",
                             vertical ? "resource/icon_down" : "resource/icon_right"};
    for (int index = 0; index < 2; ++index) {
        auto* button = new ScrollBarButton(this, index == 0 ? "UpButton" : "DownButton", images[index],
                                           vertical ? -8 : 0);
        SetButton(button, index);
    }
    UpdateButtonsForImages();
}

void ScrollBar::SetSlider(ScrollBarSlider* slider) {
    m_slider = slider;
    if (slider) {
        slider->SetParent(this);
        slider->AddActionSignalTarget(this);
    }
    InvalidateLayout();
}

ScrollBarSlider* ScrollBar::GetSlider() { return m_slider; }

void ScrollBar::SetButton(Button* button, int index) {
    if (index < 0 || index > 1 || !button) {
        return;
    }
    m_buttons[index] = button;
    button->SetParent(this);
    button->AddActionSignalTarget(this);
    KeyValues* command = new KeyValues("ScrollButtonPressed", "index", index);
    button->SetCommand(command);
    InvalidateLayout();
}

Button* ScrollBar::GetButton(int index) { return index == 0 || index == 1 ? m_buttons[index] : nullptr; }

void ScrollBar::UpdateButtonsForImages() {
    int offset = 0;
    for (Button* button : m_buttons) {
        if (button && button->IsVisible()) {
            offset += IsVertical() ? button->GetTall() : button->GetWide();
        }
    }
    if (m_slider) {
        m_slider->SetButtonOffset(offset);
    }
}

void ScrollBar::SetButtonPressedScrollValue(int value) { m_buttonStep = value; }

void ScrollBar::SetValue(int value) { m_slider->SetValue(value); }

int ScrollBar::GetValue() { return m_slider->GetValue(); }

void ScrollBar::SetRange(int min, int max) { m_slider->SetRange(min, max); }

void ScrollBar::GetRange(int& min, int& max) { m_slider->GetRange(min, max); }

void ScrollBar::SetRangeWindow(int window) { m_slider->SetRangeWindow(window); }

int ScrollBar::GetRangeWindow() { return m_slider->GetRangeWindow(); }

bool ScrollBar::IsVertical() { return m_slider->IsVertical(); }

bool ScrollBar::HasFullRange() { return m_slider->HasFullRange(); }

void ScrollBar::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetBgColor(GetSchemeColor("ScrollBar/BgColor", schemeData));
}

void ScrollBar::OnSizeChanged(int newWide, int newTall) {
    Panel::OnSizeChanged(newWide, newTall);
    if (m_slider) {
        m_slider->InvalidateLayout();
    }
}

void ScrollBar::PerformLayout() {
    if (!m_slider) {
        return;
    }
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    if (IsVertical()) {
        m_buttons[0]->SetBounds(0, 0, wide - 1, wide);
        m_slider->SetBounds(0, wide, wide, tall - 2 * wide + 1);
        m_buttons[1]->SetBounds(0, tall - wide, wide - 1, wide);
    } else {
        m_buttons[0]->SetBounds(0, 0, tall, tall);
        m_slider->SetBounds(tall, -1, wide - 2 * tall + 1, tall + 1);
        m_buttons[1]->SetBounds(wide - tall, 0, tall, tall);
    }
    UpdateButtonsForImages();
    m_slider->InvalidateLayout();
}

void ScrollBar::OnSliderMoved(int position) { SendSliderMoveMessage(position); }

void ScrollBar::SendSliderMoveMessage(int value) {
    PostActionSignal(new KeyValues("ScrollBarSliderMoved", "position", value));
}

void ScrollBar::ScrollByDirection(int direction) {
    if (!m_repeatArmed) {
        return;
    }
    int value = m_slider->GetValue() + direction * m_buttonStep;
    m_slider->SetValue(value);
    SendSliderMoveMessage(value);
}

void ScrollBar::OnMouseFocusTicked() {
    long now = system() ? system()->GetTimeMillis() : 0;
    bool upHeld = m_buttons[0] && m_buttons[0]->IsDepressed();
    bool downHeld = m_buttons[1] && m_buttons[1]->IsDepressed();
    if (!upHeld && !downHeld) {
        m_repeatTime = now + kRepeatDelayMs;
        m_repeatArmed = true;
        return;
    }
    ScrollByDirection(upHeld ? -1 : 1);
    if (m_repeatTime >= now) {
        m_repeatArmed = false;
    } else {
        m_repeatTime = now + kRepeatIntervalMs;
        m_repeatArmed = true;
    }
}

}  // namespace vgui2
