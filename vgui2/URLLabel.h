// URLLabel: an underlined label that opens its web address with the
// desktop when clicked. It leaves out visited-link colours.
#pragma once

#include <string>

#include "vgui2/Label.h"

namespace vgui2 {

class URLLabel : public Label {
    VGUI2_PANEL_CLASS(URLLabel, Label);

public:
    URLLabel(Panel* parent, const char* panelName, const char* text, const char* url = nullptr);

    void SetURL(const char* url);
    const char* GetURL() const { return m_url.c_str(); }

    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void OnMousePressed(MouseCode code) override;
    void Paint() override;

private:
    std::string m_url;
};

}  // namespace vgui2
