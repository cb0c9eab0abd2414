#include "vgui2/ProgressBar.h"

#include <cstdio>

#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

void ProgressBar::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&ProgressBar::SetProgress>("SetProgress", "progress");
    map.Add<&ProgressBar::OnDialogVariablesChanged>("DialogVariables");
}

ProgressBar::ProgressBar(Panel* parent, const char* panelName) : Panel(parent, panelName) {}

void ProgressBar::SetProgress(float progress) {
    if (progress == m_progress) {
        return;
    }
    // "Not a number" counts as nothing done.
    m_progress = !(progress >= 0.0f) ? 0.0f : progress > 1.0f ? 1.0f : progress;
    Repaint();
}

void ProgressBar::SetSegmentInfo(int gap, int width) {
    m_segmentGap = gap;
    m_segmentWide = width;
}

int ProgressBar::GetFilledBlockCount() {
    int step = m_segmentGap + m_segmentWide;
    if (step <= 0) {
        return 0;
    }
    return static_cast<int>(static_cast<float>(GetWide() / step) * m_progress);
}

void ProgressBar::OnDialogVariablesChanged(KeyValues* variables) {
    if (m_variableName.empty() || !variables) {
        return;
    }
    int percent = variables->GetInt(m_variableName.c_str(), -1);
    if (percent >= 0) {
        SetProgress(static_cast<float>(percent) / 100.0f);
    }
}

void ProgressBar::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    SetFgColor(GetSchemeColor("BrightControlText", schemeData));
    SetBgColor(GetSchemeColor("WindowBgColor", schemeData));
    SetBorder(schemeData->GetBorder("ButtonDepressedBorder"));
}

void ProgressBar::PaintBackground() {
    int wide = 0, tall = 0;
    GetSize(wide, tall);
    surface()->DrawSetColor(GetBgColor());
    surface()->DrawFilledRect(0, 0, wide, tall);
    surface()->DrawSetColor(GetFgColor());
    for (int block = 1, count = GetFilledBlockCount(); block <= count; ++block) {
        int x = block * m_segmentGap + (block - 1) * m_segmentWide;
        surface()->DrawFilledRect(x, m_margin, x + m_segmentWide, tall - m_margin);
    }
}

void ProgressBar::ApplySettings(KeyValues* settings) {
    Panel::ApplySettings(settings);
    // The layout file's value is kept like a saved state, within the bar's
    // range: a value beyond it would overflow the block count.
    SetProgress(settings->GetFloat("progress", 0.0f));
    const char* variable = settings->GetString("variable", "");
    if (*variable) {
        m_variableName = variable;
    }
}

void ProgressBar::GetSettings(KeyValues* settings) {
    Panel::GetSettings(settings);
    settings->SetFloat("progress", m_progress);
    if (!m_variableName.empty()) {
        settings->SetString("variable", m_variableName.c_str());
    }
}

const char* ProgressBar::GetDescription() {
    static char description[1024];
    std::snprintf(description, sizeof(description), "%s, string progress, string variable", Panel::GetDescription());
    return description;
}

}  // namespace vgui2
