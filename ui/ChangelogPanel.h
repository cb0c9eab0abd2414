// The changelog window: a small resizable window beside the updater frame
// that shows the selected branch's changelog in green. Every activation
// reloads the text, so it always shows the branch selected at that moment;
// it keeps no copy and deletes itself when closed.
#pragma once

#include "vgui2/Frame.h"

namespace vgui2 {
class RichText;
}

class CChangelogPanel : public vgui2::Frame {
    VGUI2_PANEL_CLASS(CChangelogPanel, vgui2::Frame);

public:
    explicit CChangelogPanel(vgui2::Panel* parent);
    ~CChangelogPanel() override;

    void Activate() override;
    vgui2::RichText* GetTextView() { return m_text; }

protected:
    void PerformLayout() override;

private:
    void PlaceBesideFrame(vgui2::VPANEL frame);

    vgui2::RichText* m_text = nullptr;
};
