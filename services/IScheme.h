// The scheme service "VGUI_Scheme009": named colours, borders, fonts, images
// and resource strings loaded from scheme files, and the images and borders
// the toolkit draws with.
#pragma once

#include "services/VGuiTypes.h"

class KeyValues;

namespace vgui2 {

inline constexpr const char* VGUI_SCHEME_INTERFACE_VERSION = "VGUI_Scheme009";

class IScheme;

// Anything that can paint itself at a position inside the current panel.
class IImage {
public:
    virtual void Paint() = 0;
    virtual void SetPos(int x, int y) = 0;
    virtual void GetContentSize(int& wide, int& tall) = 0;
    virtual void GetSize(int& wide, int& tall) = 0;
    virtual void SetSize(int wide, int tall) = 0;
    virtual void SetColor(Color color) = 0;

protected:
    ~IImage() = default;
};

class IBorder {
public:
    enum sides_e { SIDE_LEFT = 0, SIDE_TOP = 1, SIDE_RIGHT = 2, SIDE_BOTTOM = 3 };

    virtual void Paint(VPANEL panel) = 0;
    virtual void Paint(int x0, int y0, int x1, int y1) = 0;
    virtual void Paint(int x0, int y0, int x1, int y1, int breakSide, int breakStart, int breakStop) = 0;
    virtual void SetInset(int left, int top, int right, int bottom) = 0;
    virtual void GetInset(int& left, int& top, int& right, int& bottom) = 0;
    virtual void ApplySchemeSettings(IScheme* scheme, KeyValues* inResourceData) = 0;
    virtual const char* GetName() = 0;
    virtual void SetName(const char* name) = 0;

protected:
    ~IBorder() = default;
};

class IScheme {
public:
    virtual const char* GetResourceString(const char* stringName) = 0;
    virtual IBorder* GetBorder(const char* borderName) = 0;
    virtual HFont GetFont(const char* fontName, bool proportional = false) = 0;
    // The colour of that name, or defaultColor when the scheme has none.
    virtual Color GetColor(const char* colorName, Color defaultColor) = 0;

protected:
    ~IScheme() = default;
};

// Proportional layouts are written for a screen of this size and scaled by
// the screen's height (widths by its width where a control says so).
inline constexpr int kProportionalBaseWide = 640;
inline constexpr int kProportionalBaseTall = 480;

class ISchemeManager {
public:
    // A handle for the scheme loaded from the file, 0 on failure.
    virtual HScheme LoadSchemeFromFile(const char* fileName, const char* tag) = 0;
    virtual void ReloadSchemes() = 0;
    virtual HScheme GetDefaultScheme() = 0;
    // 0 when no scheme has that name.
    virtual HScheme GetScheme(const char* tag) = 0;
    virtual IScheme* GetIScheme(HScheme scheme) = 0;
    virtual IImage* GetImage(const char* imageName, bool hardwareFiltered) = 0;
    virtual HTexture GetImageID(const char* imageName, bool hardwareFiltered) = 0;
    virtual int GetProportionalScaledValue(int normalizedValue) = 0;
    virtual int GetProportionalNormalizedValue(int scaledValue) = 0;

protected:
    ~ISchemeManager() = default;
};

}  // namespace vgui2
