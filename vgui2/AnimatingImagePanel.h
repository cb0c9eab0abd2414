// AnimatingImagePanel: an image panel that cycles through numbered frames
// ("<image>1", "<image>2", ...) at a fixed rate while it runs. It leaves
// out per-frame timing and one-shot animations.
#pragma once

#include <vector>

#include "vgui2/ImagePanel.h"

namespace vgui2 {

class AnimatingImagePanel : public ImagePanel {
    VGUI2_PANEL_CLASS(AnimatingImagePanel, ImagePanel);

public:
    AnimatingImagePanel(Panel* parent, const char* panelName);

    void AddFrame(IImage* image);
    int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
    int GetCurrentFrame() const { return m_currentFrame; }
    void StartAnimation();
    void StopAnimation();

    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void OnTick() override;

private:
    static constexpr int kDefaultFrameTimeMs = 100;

    std::vector<IImage*> m_frames;
    int m_currentFrame = 0;
    int m_frameCount = 0;
    int m_frameTimeMs = kDefaultFrameTimeMs;
    bool m_running = false;
};

}  // namespace vgui2
