#include "vgui2/ScrollBarSlider.h"

#include <algorithm>
#include <cmath>

#include "services/IInput.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

void ScrollBarSlider::AddMessageHandlers(PanelMessageMap&) {}

ScrollBarSlider::ScrollBarSlider(Panel* parent, const char* panelName, bool vertical)
    : Panel(parent, panelName), m_vertical(vertical) {
    SetPaintBackgroundEnabled(false);
}

void ScrollBarSlider::SetValue(int value) {
    int old = m_value;
    value = std::max(value, m_rangeMin);
    value = std::min(value, m_rangeMax - m_rangeWindow);
    m_value = value;
    RecomputeNobPosFromValue();
    if (m_value != old) {
        SendSliderMovedMessage();
    }
}

int ScrollBarSlider::GetValue() { return m_value; }

bool ScrollBarSlider::IsVertical() { return m_vertical; }

void ScrollBarSlider::SetRange(int min, int max) {
    m_rangeMin = min;
    m_rangeMax = std::max(min, max);
    InvalidateLayout();
}

void ScrollBarSlider::GetRange(int& min, int& max) {
    min = m_rangeMin;
    max = m_rangeMax;
}

void ScrollBarSlider::SetRangeWindow(int window) {
    m_rangeWindow = window;
    InvalidateLayout();
}

int ScrollBarSlider::GetRangeWindow() { return m_rangeWindow; }

void ScrollBarSlider::GetNobPos(int& start, int& end) {
    start = m_nobStart;
    end = m_nobEnd;
}

bool ScrollBarSlider::HasFullRange() {
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    return m_rangeWindow > 0 && m_rangeWindow <= m_buttonOffset + (m_vertical ? tall : wide);
}

void ScrollBarSlider::SetButtonOffset(int offset) { m_buttonOffset = offset; }

void ScrollBarSlider::OnSizeChanged(int newWide, int newTall) {
    Panel::OnSizeChanged(newWide, newTall);
    RecomputeNobPosFromValue();
}

void ScrollBarSlider::PerformLayout() { RecomputeNobPosFromValue(); }

void ScrollBarSlider::RecomputeNobPosFromValue() {
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    float length = static_cast<float>(m_vertical ? tall - 1 : wide);
    float thickness = static_cast<float>(m_vertical ? wide : tall - 1);
    float span = static_cast<float>(m_rangeMax - m_rangeMin);
    if (span <= 0.0f) {
        span = 1.0f;
    }
    if (m_rangeWindow > 0) {
        float window = static_cast<float>(m_rangeWindow);
        float nobLength = std::max(thickness, window / span * length);
        float travel = span - window;
        // A window that covers the whole range leaves the nob nowhere to
        // travel: it fills the slider.
        float start = travel > 0.0f
                          ? static_cast<float>(m_value - m_rangeMin) / travel * (length - nobLength)
                          : 0.0f;
        if (travel <= 0.0f) {
            nobLength = length;
        }
        m_nobStart = static_cast<int>(start);
        m_nobEnd = static_cast<int>(start + nobLength);
        if (static_cast<float>(m_nobEnd) > length) {
            m_nobStart = static_cast<int>(length - nobLength);
            m_nobEnd = static_cast<int>(length);
        }
    }
    Repaint();
}

void ScrollBarSlider::RecomputeValueFromNobPos() {
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    float length = static_cast<float>(m_vertical ? tall : wide);
    float thickness = static_cast<float>(m_vertical ? wide : tall);
    float span = static_cast<float>(m_rangeMax - m_rangeMin);
    if (span <= 0.0f) {
        span = 1.0f;
    }
    float window = static_cast<float>(m_rangeWindow);
    float offset = static_cast<float>(m_value - m_rangeMin);
    if (m_rangeWindow > 0) {
        float travel = length - std::max(thickness, window / span * length);
        offset = travel > 0.0f ? static_cast<float>(m_nobStart) / travel * (span - window) : 0.0f;
    }
    if (std::fabs(window + offset - static_cast<float>(m_rangeMax)) < span / 100.0f) {
        m_value = m_rangeMax - m_rangeWindow;
    } else {
        m_value = std::min(m_rangeMin + static_cast<int>(std::lround(offset)), m_rangeMax - m_rangeWindow);
    }
}

void ScrollBarSlider::SendSliderMovedMessage() {
    PostActionSignal(new KeyValues("ScrollBarSliderMoved", "position", m_value));
}

void ScrollBarSlider::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    m_nobColor = GetSchemeColor("ScrollBarSlider/ScrollBarSliderFgColor", schemeData);
    m_trackColor = GetSchemeColor("ScrollBarSlider/ScrollBarSliderBgColor", schemeData);
    m_nobBorder = schemeData->GetBorder("ButtonBorder");
}

void ScrollBarSlider::Paint() {
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    surface()->DrawSetColor(m_trackColor);
    surface()->DrawFilledRect(0, 0, wide - 1, tall - 1);
    int span = m_rangeMax - m_rangeMin;
    if (span <= 0 || m_rangeWindow >= span) {
        return;
    }
    int x0 = m_vertical ? 0 : m_nobStart;
    int y0 = m_vertical ? m_nobStart : 0;
    int x1 = m_vertical ? wide - 1 : m_nobEnd;
    int y1 = m_vertical ? m_nobEnd : tall;
    surface()->DrawSetColor(m_nobColor);
    surface()->DrawFilledRect(x0, y0, x1, y1);
    if (m_nobBorder) {
        m_nobBorder->Paint(x0, y0, x1, y1);
    }
}

void ScrollBarSlider::OnMousePressed(MouseCode) {
    int x = 0, y = 0;
    input()->GetCursorPos(x, y);
    ScreenToLocal(x, y);
    int position = Along(x, y);
    if (position < m_nobStart) {
        SetValue(m_value - m_rangeWindow);
    } else if (position < m_nobEnd) {
        m_dragging = true;
        input()->SetMouseCapture(GetVPanel());
        m_dragNobStart = m_nobStart;
        m_dragNobEnd = m_nobEnd;
        m_dragX = x;
        m_dragY = y;
    } else {
        SetValue(m_value + m_rangeWindow);
    }
}

void ScrollBarSlider::StopDragging() {
    m_dragging = false;
    if (input()->GetMouseCapture() == GetVPanel()) {
        input()->SetMouseCapture(kNoPanel);
    }
}

void ScrollBarSlider::OnMouseReleased(MouseCode) { StopDragging(); }

void ScrollBarSlider::OnCursorMoved(int x, int y) {
    if (!m_dragging) {
        return;
    }
    int delta = Along(x, y) - Along(m_dragX, m_dragY);
    m_nobStart = m_dragNobStart + delta;
    m_nobEnd = m_dragNobEnd + delta;
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    int limit = m_vertical ? tall : wide;
    if (m_nobEnd > limit) {
        m_nobStart = limit - (m_nobEnd - m_nobStart);
        m_nobEnd = limit;
        if (m_vertical) {
            m_value = m_rangeMax - m_rangeWindow;
        }
    }
    if (m_nobStart < 0) {
        m_nobEnd -= m_nobStart;
        m_nobStart = 0;
        m_value = 0;
    }
    InvalidateLayout();
    RecomputeValueFromNobPos();
    Repaint();
    SendSliderMovedMessage();
}

}  // namespace vgui2
