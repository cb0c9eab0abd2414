// Tooltip: the hint a panel shows for its "tooltiptext". Every panel's
// tooltip keeps its own copy of the text; all of them share one read-only,
// multi-line popup window that appears half a second after the pointer
// came to rest on the panel, next to the pointer and inside the screen.
// The shared window is made on first use and goes away with the last
// tooltip. It leaves out fading and rich text.
#pragma once

#include <string>

namespace vgui2 {

class TextEntry;

class Tooltip {
public:
    static constexpr long kDelayMs = 500;

    explicit Tooltip(const char* text = nullptr);
    ~Tooltip();

    Tooltip(const Tooltip&) = delete;
    Tooltip& operator=(const Tooltip&) = delete;

    void SetText(const char* text);
    const char* GetText() const { return m_text.c_str(); }
    // The pointer entered the owner: the delay starts.
    void ShowTooltip();
    // Called every frame while the owner is visible: shows the window once
    // the delay is over.
    void PerformLayout();
    void HideTooltip();
    // The pointer moved on the owner: a hint not yet shown waits again.
    void ResetDelay();
    bool IsShown() const;

    // The shared window, or null before first use.
    static TextEntry* SharedWindow();

private:
    void ShowNow();

    std::string m_text;
    bool m_pending = false;
    long m_delayStart = 0;
};

}  // namespace vgui2
