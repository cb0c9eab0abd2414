// A scheme border: per side a list of one-pixel lines, outermost first, each
// in a scheme colour and shortened at either end by an offset. It paints
// through the surface into the panel that is current, and can leave a gap
// in one side (a group box's caption, for example).
#pragma once

#include <string>
#include <vector>

#include "modules/updvgui2/SchemeFile.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"

class CSchemeBorder final : public vgui2::IBorder {
public:
    CSchemeBorder(vgui2::ISurface& surface, vgui2::IPanel& panels, const char* name);

    void Paint(vgui2::VPANEL panel) override;
    void Paint(int x0, int y0, int x1, int y1) override;
    void Paint(int x0, int y0, int x1, int y1, int breakSide, int breakStart, int breakStop) override;
    void SetInset(int left, int top, int right, int bottom) override;
    void GetInset(int& left, int& top, int& right, int& bottom) override;
    void ApplySchemeSettings(vgui2::IScheme* scheme, KeyValues* inResourceData) override;
    const char* GetName() override;
    void SetName(const char* name) override;

    // Takes the look from parsed settings, resolving line colours through
    // the scheme.
    void Apply(const SchemeBorderSpec& spec, vgui2::IScheme& scheme);

private:
    struct Line {
        vgui2::Color color;
        int startOffset;
        int endOffset;
    };

    void PaintSide(int side, int x0, int y0, int x1, int y1, int gapStart, int gapStop);
    void FillSpan(bool horizontal, int fixed, int from, int to, int gapStart, int gapStop);

    vgui2::ISurface& m_surface;
    vgui2::IPanel& m_panels;
    std::string m_name;
    int m_inset[4] = {0, 0, 0, 0};
    std::vector<Line> m_sides[4];
};
