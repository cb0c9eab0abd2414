// ProgressBar: a fraction between 0 and 1 shown as a row of separate filled
// blocks over a background. It can follow a dialog variable holding a
// percentage. It leaves out text on the bar and vertical bars.
#pragma once

#include <string>

#include "vgui2/Panel.h"

namespace vgui2 {

class ProgressBar : public Panel {
    VGUI2_PANEL_CLASS(ProgressBar, Panel);

public:
    ProgressBar(Panel* parent, const char* panelName);

    // Clamped to 0..1; an unchanged value does not repaint.
    virtual void SetProgress(float progress);
    float GetProgress() const { return m_progress; }
    virtual void SetSegmentInfo(int gap, int width);
    // How many blocks the current progress fills at the current width.
    int GetFilledBlockCount();

    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PaintBackground() override;
    virtual void OnDialogVariablesChanged(KeyValues* variables);

private:
    float m_progress = 0.0f;
    int m_segmentGap = 4;
    int m_segmentWide = 8;
    int m_margin = 4;
    std::string m_variableName;
};

}  // namespace vgui2
