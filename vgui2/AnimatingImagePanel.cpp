#include "vgui2/AnimatingImagePanel.h"

#include <cstdio>
#include <string>

#include "services/IScheme.h"
#include "services/IVGui.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"

namespace vgui2 {

void AnimatingImagePanel::AddMessageHandlers(PanelMessageMap&) {}

AnimatingImagePanel::AnimatingImagePanel(Panel* parent, const char* panelName) : ImagePanel(parent, panelName) {}

void AnimatingImagePanel::AddFrame(IImage* image) {
    m_frames.push_back(image);
    if (m_frames.size() == 1) {
        m_currentFrame = 0;
        SetImage(image);
    }
}

void AnimatingImagePanel::StartAnimation() {
    if (!m_running && m_frames.size() > 1) {
        m_running = true;
        ivgui()->AddTickSignal(GetVPanel(), m_frameTimeMs);
    }
}

void AnimatingImagePanel::StopAnimation() {
    if (m_running) {
        m_running = false;
        ivgui()->RemoveTickSignal(GetVPanel());
    }
}

void AnimatingImagePanel::OnTick() {
    if (m_frames.empty()) {
        return;
    }
    m_currentFrame = (m_currentFrame + 1) % GetFrameCount();
    SetImage(m_frames[static_cast<std::size_t>(m_currentFrame)]);
}

void AnimatingImagePanel::ApplySchemeSettings(IScheme* schemeData) {
    ImagePanel::ApplySchemeSettings(schemeData);
    if (m_frameCount <= 0 || GetImageName().empty()) {
        return;
    }
    bool wasRunning = m_running;
    StopAnimation();
    m_frames.clear();
    for (int frame = 1; frame <= m_frameCount; ++frame) {
        std::string name = GetImageName() + std::to_string(frame);
        AddFrame(scheme()->GetImage(name.c_str(), false));
    }
    if (wasRunning || m_frameCount > 1) {
        StartAnimation();
    }
}

void AnimatingImagePanel::ApplySettings(KeyValues* settings) {
    m_frameCount = settings->GetInt("frames", m_frameCount);
    m_frameTimeMs = settings->GetInt("anim_framerate", m_frameTimeMs);
    if (m_frameTimeMs <= 0) {
        m_frameTimeMs = kDefaultFrameTimeMs;
    }
    ImagePanel::ApplySettings(settings);
}

void AnimatingImagePanel::GetSettings(KeyValues* settings) {
    ImagePanel::GetSettings(settings);
    settings->SetInt("frames", m_frameCount);
    settings->SetInt("anim_framerate", m_frameTimeMs);
}

const char* AnimatingImagePanel::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description), "%s, int frames, int anim_framerate",
                  ImagePanel::GetDescription());
    return description;
}

}  // namespace vgui2
