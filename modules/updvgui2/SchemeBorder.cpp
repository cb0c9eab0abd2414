#include "modules/updvgui2/SchemeBorder.h"

#include <algorithm>

namespace {

constexpr int kNoGap = -1;

}  // namespace

CSchemeBorder::CSchemeBorder(vgui2::ISurface& surface, vgui2::IPanel& panels, const char* name)
    : m_surface(surface), m_panels(panels), m_name(name ? name : "") {}

void CSchemeBorder::Paint(vgui2::VPANEL panel) {
    int wide = 0;
    int tall = 0;
    m_panels.GetSize(panel, wide, tall);
    Paint(0, 0, wide, tall);
}

void CSchemeBorder::Paint(int x0, int y0, int x1, int y1) { Paint(x0, y0, x1, y1, kNoGap, 0, 0); }

void CSchemeBorder::Paint(int x0, int y0, int x1, int y1, int breakSide, int breakStart, int breakStop) {
    for (int side = 0; side < 4; ++side) {
        bool broken = side == breakSide && breakStart < breakStop;
        PaintSide(side, x0, y0, x1, y1, broken ? breakStart : kNoGap, broken ? breakStop : kNoGap);
    }
}

// Lines run along the side; the i-th line lies i pixels inside the edge. The
// gap is measured from the side's start (its left or top end).
void CSchemeBorder::PaintSide(int side, int x0, int y0, int x1, int y1, int gapStart, int gapStop) {
    const std::vector<Line>& lines = m_sides[side];
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.color.a == 0) {
            continue;
        }
        int depth = static_cast<int>(i);
        m_surface.DrawSetColor(line.color);
        switch (side) {
            case SIDE_LEFT:
                FillSpan(false, x0 + depth, y0 + line.startOffset, y1 - line.endOffset, gapStart, gapStop);
                break;
            case SIDE_TOP:
                FillSpan(true, y0 + depth, x0 + line.startOffset, x1 - line.endOffset, gapStart, gapStop);
                break;
            case SIDE_RIGHT:
                FillSpan(false, x1 - 1 - depth, y0 + line.startOffset, y1 - line.endOffset, gapStart, gapStop);
                break;
            default:
                FillSpan(true, y1 - 1 - depth, x0 + line.startOffset, x1 - line.endOffset, gapStart, gapStop);
                break;
        }
    }
}

void CSchemeBorder::FillSpan(bool horizontal, int fixed, int from, int to, int gapStart, int gapStop) {
    auto fill = [&](int a, int b) {
        if (a >= b) {
            return;
        }
        if (horizontal) {
            m_surface.DrawFilledRect(a, fixed, b, fixed + 1);
        } else {
            m_surface.DrawFilledRect(fixed, a, fixed + 1, b);
        }
    };
    if (gapStart == kNoGap) {
        fill(from, to);
        return;
    }
    fill(from, std::min(to, gapStart));
    fill(std::max(from, gapStop), to);
}

void CSchemeBorder::SetInset(int left, int top, int right, int bottom) {
    m_inset[SIDE_LEFT] = left;
    m_inset[SIDE_TOP] = top;
    m_inset[SIDE_RIGHT] = right;
    m_inset[SIDE_BOTTOM] = bottom;
}

void CSchemeBorder::GetInset(int& left, int& top, int& right, int& bottom) {
    left = m_inset[SIDE_LEFT];
    top = m_inset[SIDE_TOP];
    right = m_inset[SIDE_RIGHT];
    bottom = m_inset[SIDE_BOTTOM];
}

void CSchemeBorder::ApplySchemeSettings(vgui2::IScheme* scheme, KeyValues* inResourceData) {
    if (scheme) {
        Apply(ParseBorderSection(inResourceData), *scheme);
    }
}

void CSchemeBorder::Apply(const SchemeBorderSpec& spec, vgui2::IScheme& scheme) {
    std::copy(std::begin(spec.inset), std::end(spec.inset), std::begin(m_inset));
    for (int side = 0; side < 4; ++side) {
        m_sides[side].clear();
        for (const SchemeBorderLine& line : spec.sides[side]) {
            // A line names a scheme colour or gives one literally; an unknown
            // name leaves the line out instead of guessing a colour.
            vgui2::Color color;
            if (!ParseColorText(line.color.c_str(), color)) {
                color = scheme.GetColor(line.color.c_str(), vgui2::Color());
            }
            m_sides[side].push_back(Line{color, line.startOffset, line.endOffset});
        }
    }
}

const char* CSchemeBorder::GetName() { return m_name.c_str(); }

void CSchemeBorder::SetName(const char* name) { m_name = name ? name : ""; }
