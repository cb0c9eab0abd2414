// ScrollBar: an arrow button at each end and a ScrollBarSlider between
// them. Range, window and value live in the slider; the bar passes every
// slider move on to its owner as its own "ScrollBarSliderMoved" and steps
// the value while an arrow button is held, first once, then repeatedly
// after a delay. It leaves out the mouse wheel, which owners handle.
#pragma once

#include "vgui2/Panel.h"

namespace vgui2 {

class Button;
class ScrollBarSlider;

class ScrollBar : public Panel {
    VGUI2_PANEL_CLASS(ScrollBar, Panel);

public:
    ScrollBar(Panel* parent, const char* panelName, bool vertical);

    virtual void SetValue(int value);
    virtual int GetValue();
    virtual void SetRange(int min, int max);
    virtual void GetRange(int& min, int& max);
    virtual void SetRangeWindow(int window);
    virtual int GetRangeWindow();
    virtual bool IsVertical();
    virtual bool HasFullRange();
    virtual void SetButton(Button* button, int index);
    virtual Button* GetButton(int index);
    virtual void SetSlider(ScrollBarSlider* slider);
    virtual ScrollBarSlider* GetSlider();
    virtual void SetButtonPressedScrollValue(int value);
    virtual void UpdateButtonsForImages();
    // Reports the value to the action-signal targets.
    virtual void SendSliderMoveMessage(int value);
    virtual void ScrollByDirection(int direction);

    void OnSizeChanged(int newWide, int newTall) override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    // The arrow buttons pass their focus ticks on while the pointer rests
    // on them; this is the auto-repeat step.
    void OnMouseFocusTicked() override;
    virtual void OnSliderMoved(int position);

private:
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 50;

    Button* m_buttons[2] = {nullptr, nullptr};
    ScrollBarSlider* m_slider = nullptr;
    int m_buttonStep = 20;
    long m_repeatTime = kRepeatDelayMs;
    bool m_repeatArmed = true;
};

}  // namespace vgui2
