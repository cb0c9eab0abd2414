// Label: a line or block of text, optionally with images beside it, aligned
// inside its bounds. Texts beginning with "#" are localized, "%name%" texts
// show a dialog variable of the container, a single "&" marks the hotkey
// letter, and a label can pass the focus to an associated control. A
// disabled label draws its text twice for an engraved look. It leaves out
// rich text (one font and one colour per label) and text selection.
#pragma once

#include <string>
#include <vector>

#include "vgui2/Panel.h"

namespace vgui2 {

class IImage;
class TextImage;

class Label : public Panel {
    VGUI2_PANEL_CLASS(Label, Panel);

public:
    enum Alignment {
        a_northwest = 0,
        a_north,
        a_northeast,
        a_west,
        a_center,
        a_east,
        a_southwest,
        a_south,
        a_southeast,
    };
    enum ColorState { CS_NORMAL = 0, CS_DULL, CS_BRIGHT, CS_BRIGHT_BASE };

    Label(Panel* parent, const char* panelName, const char* text);
    Label(Panel* parent, const char* panelName, const wchar* text);
    ~Label() override;

    virtual void SetText(const wchar* text);
    virtual void SetText(const char* text);
    virtual void GetText(wchar* buffer, int bufferBytes);
    virtual void GetText(char* buffer, int bufferBytes);
    virtual void GetContentSize(int& wide, int& tall);
    virtual void SetContentAlignment(Alignment alignment);
    Alignment GetContentAlignment() const { return m_contentAlignment; }
    virtual void SetTextInset(int x, int y);
    virtual void SetDisabledFgColor1(Color color);
    virtual void SetDisabledFgColor2(Color color);
    virtual Color GetDisabledFgColor1();
    virtual Color GetDisabledFgColor2();
    virtual void SetTextColorState(ColorState state);
    ColorState GetTextColorState() const { return m_colorState; }
    virtual void SetFont(HFont font);
    virtual HFont GetFont();
    virtual void SetHotkey(wchar key);
    wchar GetHotkey() const { return m_hotkey; }
    virtual void SetAssociatedControl(Panel* control);
    Panel* GetAssociatedControl();
    virtual void SetWrap(bool state);

    // Images beside the text; the text image is entry 0 until changed.
    virtual int AddImage(IImage* image, int offset);
    virtual void SetImageAtIndex(int index, IImage* image, int offset);
    virtual void SetImagePreOffset(int index, int offset);
    virtual IImage* GetImageAtIndex(int index);
    virtual int GetImageCount();
    virtual void ClearImages();
    // A fixed x position (-1: flowing) and a width limit (-1: none).
    virtual void SetImageBounds(int index, int x, int width);
    virtual TextImage* GetTextImage();
    virtual int SetTextImageIndex(int index);
    virtual void SizeToContents();

    // The lower-cased letter after the first single "&", or 0.
    static wchar CalculateHotkey(const wchar* text);
    static wchar CalculateHotkey(const char* text);

    // Panel behaviour a label changes.
    Panel* HasHotkey(wchar key) override;
    void RequestFocus(int direction = 0) override;
    bool RequestInfo(KeyValues* outputData) override;
    void ApplySettings(KeyValues* inResourceData) override;
    void GetSettings(KeyValues* outResourceData) override;
    const char* GetDescription() override;

protected:
    void ApplySchemeSettings(IScheme* scheme) override;
    void PerformLayout() override;
    void Paint() override;
    void OnMousePressed(MouseCode code) override;
    // The content rectangle inside the label, after alignment.
    virtual void ComputeAlignment(int& x0, int& y0, int& x1, int& y1);
    void DrawDashedLine(int x0, int y0, int x1, int y1, int dashLength, int gapLength);
    virtual void OnSetText(KeyValues* message);
    virtual void OnHotkeyPressed();
    virtual void OnDialogVariablesChanged(KeyValues* variables);
    // The colour scheme name of each text colour state.
    static const char* ColorStateName(ColorState state);
    // Hands the focus to the associate; false when there is none.
    bool FocusAssociate();

private:
    struct ImageEntry {
        IImage* image = nullptr;
        short offset = 0;
        short xpos = -1;
        short width = -1;
    };

    void Construct();
    void EnsureImageCount(int count);
    void ResolvePendingAssociate();
    bool AssociateHasFocus();
    void PaintTextImage(int x, int y);

    TextImage* m_textImage = nullptr;
    std::vector<ImageEntry> m_images;
    int m_textImageIndex = -1;
    Alignment m_contentAlignment = a_west;
    int m_textInsetX = 0;
    int m_textInsetY = 0;
    ColorState m_colorState = CS_NORMAL;
    Color m_disabledFgColor1;
    Color m_disabledFgColor2;
    Color m_associateColor;
    HPanel m_associate = kNoHandle;
    std::string m_pendingAssociate;
    std::string m_fontName;
    bool m_wrap = false;
    wchar m_hotkey = 0;
};

}  // namespace vgui2
