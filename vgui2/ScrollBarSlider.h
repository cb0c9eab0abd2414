// ScrollBarSlider: the scroll state (a range, the window of it in view and
// a value) and the nob that shows the window's place in the range. Clicks
// beside the nob page by one window, the nob can be dragged, and every
// change of the value is reported as the action signal
// "ScrollBarSliderMoved". It leaves out the arrow buttons (ScrollBar) and
// mouse-wheel handling.
#pragma once

#include "vgui2/Panel.h"

namespace vgui2 {

class ScrollBarSlider : public Panel {
    VGUI2_PANEL_CLASS(ScrollBarSlider, Panel);

public:
    ScrollBarSlider(Panel* parent, const char* panelName, bool vertical);

    // Clamped to the range less the window; reports a change.
    virtual void SetValue(int value);
    virtual int GetValue();
    virtual bool IsVertical();
    virtual void SetRange(int min, int max);
    virtual void GetRange(int& min, int& max);
    virtual void SetRangeWindow(int window);
    virtual int GetRangeWindow();
    virtual void GetNobPos(int& start, int& end);
    virtual bool HasFullRange();
    virtual void SetButtonOffset(int offset);
    virtual void RecomputeNobPosFromValue();
    virtual void RecomputeValueFromNobPos();
    virtual void SendSliderMovedMessage();
    bool IsDragging() const { return m_dragging; }

    void OnSizeChanged(int newWide, int newTall) override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void Paint() override;
    void OnCursorMoved(int x, int y) override;
    void OnMousePressed(MouseCode code) override;
    void OnMouseReleased(MouseCode code) override;

private:
    int Along(int x, int y) const { return m_vertical ? y : x; }
    void StopDragging();

    bool m_vertical;
    bool m_dragging = false;
    int m_value = 0;
    int m_rangeMin = 0;
    int m_rangeMax = 0;
    int m_rangeWindow = 0;
    int m_nobStart = 0;
    int m_nobEnd = 0;
    int m_dragNobStart = 0;
    int m_dragNobEnd = 0;
    int m_dragX = 0;
    int m_dragY = 0;
    int m_buttonOffset = 0;
    IBorder* m_nobBorder = nullptr;
    Color m_nobColor;
    Color m_trackColor;
};

}  // namespace vgui2
