#include "vgui2/Label.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>

#include "platform/Text.h"
#include "services/IInput.h"
#include "services/ILocalize.h"
#include "services/IPanel.h"
#include "services/IScheme.h"
#include "services/ISurface.h"
#include "services/ServicePointers.h"
#include "vgui2/KeyValues.h"
#include "vgui2/PanelHandles.h"
#include "vgui2/TextConvert.h"
#include "vgui2/TextImage.h"

namespace vgui2 {

namespace {

constexpr const char* kAlignmentNames[] = {"north-west", "north", "north-east", "west",      "center",
                                           "east",       "south-west", "south", "south-east"};

// "GetText" answers with at most this many characters.
constexpr int kInfoTextChars = 255;
// A text rebuilt from dialog variables has room for this many characters.
constexpr int kDialogTextChars = 1024;
constexpr const char* kVariablePrefix = "#var_";

bool IsVariableText(const char* text) {
    std::size_t length = std::strlen(text);
    return length >= 2 && text[0] == '%' && text[length - 1] == '%';
}

}  // namespace

void Label::AddMessageHandlers(PanelMessageMap& map) {
    map.Add<&Label::OnSetText>("SetText");
    map.Add<&Label::OnHotkeyPressed>("Hotkey");
    map.Add<&Label::OnDialogVariablesChanged>("DialogVariables");
}

Label::Label(Panel* parent, const char* panelName, const char* text) : Panel(parent, panelName) {
    Construct();
    SetText(text);
}

Label::Label(Panel* parent, const char* panelName, const wchar* text) : Panel(parent, panelName) {
    Construct();
    SetText(text);
}

void Label::Construct() {
    m_textImage = new TextImage(u"");
    m_textImageIndex = AddImage(m_textImage, 0);
}

Label::~Label() { delete m_textImage; }

// Text -----------------------------------------------------------------------

void Label::SetText(const char* text) {
    if (!text) {
        text = "";
    }
    m_textImage->SetText(text);
    // A token's hotkey is the one of its translation.
    m_hotkey = text[0] == '#' ? CalculateHotkey(m_textImage->GetWideText().c_str()) : CalculateHotkey(text);
    InvalidateLayout();
    Repaint();
}

void Label::SetText(const wchar* text) {
    m_textImage->SetText(text);
    m_hotkey = CalculateHotkey(text);
    InvalidateLayout();
    Repaint();
}

void Label::GetText(wchar* buffer, int bufferBytes) { m_textImage->GetText(buffer, bufferBytes); }

void Label::GetText(char* buffer, int bufferBytes) { m_textImage->GetText(buffer, bufferBytes); }

TextImage* Label::GetTextImage() { return m_textImage; }

wchar Label::CalculateHotkey(const wchar* text) {
    if (!text) {
        return 0;
    }
    for (const wchar* p = text; *p; ++p) {
        if (*p != u'&') {
            continue;
        }
        if (p[1] == u'&') {
            ++p;
        } else if (p[1] && std::iswalnum(static_cast<wint_t>(p[1]))) {
            return static_cast<wchar>(std::towlower(static_cast<wint_t>(p[1])));
        }
    }
    return 0;
}

wchar Label::CalculateHotkey(const char* text) {
    if (!text) {
        return 0;
    }
    std::size_t length = std::strlen(text) + 1;
    std::u16string wide(length, u'\0');
    Utf8ToWide(text, wide.data(), static_cast<int>(length * sizeof(wchar)));
    return CalculateHotkey(wide.c_str());
}

void Label::SetHotkey(wchar key) { m_hotkey = key; }

Panel* Label::HasHotkey(wchar key) { return m_hotkey && key == m_hotkey ? this : nullptr; }

void Label::SetWrap(bool state) {
    m_wrap = state;
    m_textImage->SetWrap(state);
    InvalidateLayout();
}

void Label::SetFont(HFont font) {
    m_textImage->SetFont(font);
    InvalidateLayout();
    Repaint();
}

HFont Label::GetFont() { return m_textImage->GetFont(); }

void Label::SetContentAlignment(Alignment alignment) {
    m_contentAlignment = alignment;
    Repaint();
}

void Label::SetTextInset(int x, int y) {
    m_textInsetX = x;
    m_textInsetY = y;
    InvalidateLayout();
}

void Label::SetDisabledFgColor1(Color color) { m_disabledFgColor1 = color; }

void Label::SetDisabledFgColor2(Color color) { m_disabledFgColor2 = color; }

Color Label::GetDisabledFgColor1() { return m_disabledFgColor1; }

Color Label::GetDisabledFgColor2() { return m_disabledFgColor2; }

void Label::SetTextColorState(ColorState state) {
    if (m_colorState != state) {
        m_colorState = state;
        InvalidateLayout();
    }
}

const char* Label::ColorStateName(ColorState state) {
    switch (state) {
        case CS_DULL: return "LabelDimText";
        case CS_BRIGHT: return "BrightControlText";
        case CS_BRIGHT_BASE: return "BrightBaseText";
        case CS_NORMAL: break;
    }
    return "BaseText";
}

// Associate ------------------------------------------------------------------

void Label::SetAssociatedControl(Panel* control) {
    m_associate = HandleOf(control);
    m_pendingAssociate.clear();
}

Panel* Label::GetAssociatedControl() { return PanelFromHandle(m_associate); }

void Label::ResolvePendingAssociate() {
    if (m_pendingAssociate.empty()) {
        return;
    }
    Panel* parent = GetParent();
    m_associate = HandleOf(parent ? parent->FindChildByName(m_pendingAssociate.c_str()) : nullptr);
    m_pendingAssociate.clear();
}

bool Label::FocusAssociate() {
    ResolvePendingAssociate();
    Panel* associate = GetAssociatedControl();
    if (!associate || IsBuildModeActive()) {
        return false;
    }
    associate->RequestFocus();
    return true;
}

bool Label::AssociateHasFocus() {
    Panel* associate = GetAssociatedControl();
    VPANEL focus = input() ? input()->GetFocus() : kNoPanel;
    return associate && focus && (focus == associate->GetVPanel() || ipanel()->HasParent(focus, associate->GetVPanel()));
}

void Label::OnMousePressed(MouseCode code) {
    if (!FocusAssociate()) {
        Panel::OnMousePressed(code);
    }
}

void Label::OnHotkeyPressed() { FocusAssociate(); }

void Label::RequestFocus(int direction) {
    if (!FocusAssociate()) {
        Panel::RequestFocus(direction);
    }
}

// Images ---------------------------------------------------------------------

void Label::EnsureImageCount(int count) {
    if (count > static_cast<int>(m_images.size())) {
        m_images.resize(static_cast<std::size_t>(count));
    }
}

int Label::AddImage(IImage* image, int offset) {
    ImageEntry entry;
    entry.image = image;
    entry.offset = static_cast<short>(offset);
    m_images.push_back(entry);
    InvalidateLayout();
    return static_cast<int>(m_images.size()) - 1;
}

void Label::SetImageAtIndex(int index, IImage* image, int offset) {
    if (index < 0) {
        return;
    }
    EnsureImageCount(index + 1);
    ImageEntry& entry = m_images[static_cast<std::size_t>(index)];
    entry.image = image;
    entry.offset = static_cast<short>(offset);
    if (image == m_textImage) {
        m_textImageIndex = index;
    } else if (index == m_textImageIndex) {
        m_textImageIndex = -1;
    }
    InvalidateLayout();
}

void Label::SetImagePreOffset(int index, int offset) {
    if (index >= 0 && index < GetImageCount()) {
        m_images[static_cast<std::size_t>(index)].offset = static_cast<short>(offset);
        InvalidateLayout();
    }
}

IImage* Label::GetImageAtIndex(int index) {
    return index >= 0 && index < GetImageCount() ? m_images[static_cast<std::size_t>(index)].image : nullptr;
}

int Label::GetImageCount() { return static_cast<int>(m_images.size()); }

void Label::ClearImages() {
    m_images.clear();
    m_textImageIndex = -1;
    InvalidateLayout();
}

void Label::SetImageBounds(int index, int x, int width) {
    if (index >= 0 && index < GetImageCount()) {
        m_images[static_cast<std::size_t>(index)].xpos = static_cast<short>(x);
        m_images[static_cast<std::size_t>(index)].width = static_cast<short>(width);
    }
}

int Label::SetTextImageIndex(int index) {
    if (index == m_textImageIndex) {
        return index;
    }
    if (m_textImageIndex >= 0) {
        m_images[static_cast<std::size_t>(m_textImageIndex)].image = nullptr;
    }
    if (index >= 0) {
        SetImageAtIndex(index, m_textImage, 0);
    }
    m_textImageIndex = index;
    return index;
}

// Size and layout ------------------------------------------------------------

void Label::ComputeAlignment(int& x0, int& y0, int& x1, int& y1) {
    int wide = 0, tall = 0;
    GetPaintSize(wide, tall);
    int contentWide = 0;
    int contentTall = 0;
    for (const ImageEntry& entry : m_images) {
        if (!entry.image) {
            continue;
        }
        int imageWide = 0, imageTall = 0;
        entry.image->GetSize(imageWide, imageTall);
        contentWide += entry.offset + imageWide;
        contentTall = std::max(contentTall, imageTall);
    }
    int column = m_contentAlignment % 3;
    int row = m_contentAlignment / 3;
    x0 = column == 1 ? (wide - contentWide) / 2 : column == 2 ? wide - contentWide : 0;
    y0 = row == 1 ? (tall - contentTall) / 2 : row == 2 ? tall - contentTall : 0;
    x1 = x0 + contentWide;
    y1 = y0 + contentTall;
}

void Label::GetContentSize(int& wide, int& tall) {
    if (!m_textImage->GetFont() && scheme()) {
        if (IScheme* schemeData = scheme()->GetIScheme(GetScheme())) {
            m_textImage->SetFont(schemeData->GetFont("Default", IsProportional()));
        }
    }
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ComputeAlignment(x0, y0, x1, y1);
    int textWide = 0, textTall = 0, contentWide = 0, contentTall = 0;
    if (m_textImageIndex >= 0) {
        m_textImage->GetSize(textWide, textTall);
        m_textImage->GetContentSize(contentWide, contentTall);
    }
    int offsets = 0;
    for (const ImageEntry& entry : m_images) {
        offsets += entry.offset;
    }
    wide = m_textInsetX + (x1 - x0) - textWide + contentWide + offsets;
    tall = std::max(y1 - y0 + m_textInsetY, contentTall);
}

void Label::SizeToContents() {
    int wide = 0, tall = 0;
    GetContentSize(wide, tall);
    SetSize(wide, tall);
}

void Label::PerformLayout() {
    if (m_textImageIndex < 0) {
        return;
    }
    int available = GetWide() - m_textInsetX;
    if (m_images.size() == 1) {
        if (m_wrap) {
            // The height of wrapped text follows from its width.
            m_textImage->SetSize(available, GetTall());
            int contentWide = 0, contentTall = 0;
            m_textImage->GetContentSize(contentWide, contentTall);
            m_textImage->SetSize(available, contentTall);
        } else {
            int contentWide = 0, contentTall = 0;
            m_textImage->GetContentSize(contentWide, contentTall);
            m_textImage->SetSize(std::min(available, contentWide), contentTall);
        }
        return;
    }
    int othersWide = 0;
    for (std::size_t i = 0; i < m_images.size(); ++i) {
        if (m_images[i].image && static_cast<int>(i) != m_textImageIndex) {
            int imageWide = 0, imageTall = 0;
            m_images[i].image->GetSize(imageWide, imageTall);
            othersWide += imageWide;
        }
    }
    if (available - othersWide >= 0) {
        int contentWide = 0, contentTall = 0;
        m_textImage->GetContentSize(contentWide, contentTall);
        m_textImage->SetSize(available - othersWide, contentTall);
    }
}

// Scheme and painting --------------------------------------------------------

void Label::ApplySchemeSettings(IScheme* schemeData) {
    Panel::ApplySchemeSettings(schemeData);
    const char* fontName = m_fontName.empty() ? "Default" : m_fontName.c_str();
    m_textImage->SetFont(schemeData->GetFont(fontName, IsProportional()));
    if (m_wrap) {
        m_textImage->SetSize(GetWide() - m_textInsetX, GetTall());
    } else {
        int wide = 0, tall = 0;
        m_textImage->GetContentSize(wide, tall);
        m_textImage->SetSize(wide, tall);
    }
    SetDisabledFgColor1(GetSchemeColor("DisabledFgColor1", schemeData));
    SetDisabledFgColor2(GetSchemeColor("DisabledFgColor2", schemeData));
    SetBgColor(GetSchemeColor("LabelBgColor", schemeData));
    SetFgColor(GetSchemeColor(ColorStateName(m_colorState), schemeData));
    m_associateColor = GetSchemeColor("BrightControlText", schemeData);
    InvalidateLayout();
}

void Label::PaintTextImage(int x, int y) {
    if (IsEnabled()) {
        m_textImage->SetColor(AssociateHasFocus() ? m_associateColor : GetFgColor());
        m_textImage->SetPos(x, y);
        m_textImage->Paint();
        return;
    }
    // Engraved: a shadow one pixel right and down, then the face.
    m_textImage->SetColor(m_disabledFgColor1);
    m_textImage->SetPos(x + 1, y + 1);
    m_textImage->Paint();
    m_textImage->SetColor(m_disabledFgColor2);
    m_textImage->SetPos(x, y);
    m_textImage->Paint();
}

void Label::Paint() {
    ResolvePendingAssociate();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ComputeAlignment(x0, y0, x1, y1);
    bool centreVertically = m_contentAlignment >= a_west && m_contentAlignment <= a_east;
    int x = x0;
    for (std::size_t i = 0; i < m_images.size(); ++i) {
        ImageEntry& entry = m_images[i];
        if (!entry.image) {
            continue;
        }
        x += entry.offset;
        if (entry.xpos >= 0) {
            x = entry.xpos;
        }
        int wide = 0, tall = 0;
        entry.image->GetSize(wide, tall);
        if (entry.width >= 0 && wide > entry.width) {
            wide = entry.width;
            entry.image->SetSize(wide, tall);
        }
        bool isText = static_cast<int>(i) == m_textImageIndex;
        int drawX = isText ? x + m_textInsetX : x;
        int drawY = y0 + m_textInsetY + (centreVertically ? (y1 - y0 - tall) / 2 : 0);
        if (isText) {
            PaintTextImage(drawX, drawY);
        } else {
            entry.image->SetPos(drawX, drawY);
            entry.image->Paint();
        }
        x = drawX + wide;
    }
}

void Label::DrawDashedLine(int x0, int y0, int x1, int y1, int dashLength, int gapLength) {
    int step = std::max(dashLength + gapLength, 1);
    if (y0 == y1) {
        for (int x = x0; x < x1; x += step) {
            surface()->DrawFilledRect(x, y0, std::min(x + dashLength, x1), y0 + 1);
        }
    } else {
        for (int y = y0; y < y1; y += step) {
            surface()->DrawFilledRect(x0, y, x0 + 1, std::min(y + dashLength, y1));
        }
    }
}

// Messages and requests ------------------------------------------------------

void Label::OnSetText(KeyValues* message) {
    KeyValues* text = message ? message->FindKey("text") : nullptr;
    if (!text) {
        return;
    }
    if (text->GetDataType() == KeyValues::TYPE_STRING) {
        SetText(text->GetString());
    } else if (text->GetDataType() == KeyValues::TYPE_WSTRING) {
        SetText(text->GetWString());
    }
}

void Label::OnDialogVariablesChanged(KeyValues* variables) {
    if (!m_textImage->HasToken() || !localize()) {
        return;
    }
    wchar text[kDialogTextChars];
    localize()->ConstructString(text, sizeof(text), m_textImage->GetTokenName().c_str(), variables);
    SetText(text);
}

bool Label::RequestInfo(KeyValues* outputData) {
    if (platform::CompareNoCase(outputData->GetName(), "GetText") == 0) {
        wchar text[kInfoTextChars + 1];
        GetText(text, sizeof(text));
        outputData->SetWString("text", text);
        return true;
    }
    return Panel::RequestInfo(outputData);
}

// Settings -------------------------------------------------------------------

void Label::ApplySettings(KeyValues* settings) {
    Panel::ApplySettings(settings);

    if (const char* text = settings->GetString("labelText", nullptr)) {
        if (IsVariableText(text)) {
            // The variable's name stands for itself until the container
            // sets the variable.
            std::string token = std::string("var_") + text;
            std::size_t length = std::strlen(text) + 1;
            std::u16string wide(length, u'\0');
            Utf8ToWide(text, wide.data(), static_cast<int>(length * sizeof(wchar)));
            if (localize()) {
                localize()->AddString(token.c_str(), wide.c_str(), nullptr);
            }
            SetText(("#" + token).c_str());
        } else {
            SetText(text);
        }
    }

    if (const char* alignment = settings->GetString("textAlignment", nullptr)) {
        for (int i = 0; i < 9; ++i) {
            if (platform::CompareNoCase(alignment, kAlignmentNames[i]) == 0) {
                SetContentAlignment(static_cast<Alignment>(i));
            }
        }
    }

    if (const char* associate = settings->GetString("associate", nullptr)) {
        m_pendingAssociate = associate;
    }

    int dull = settings->GetInt("dulltext", 0);
    int bright = settings->GetInt("brighttext", 0);
    SetTextColorState(dull == 1 ? CS_DULL : bright == 1 ? CS_BRIGHT : CS_NORMAL);

    m_fontName = settings->GetString("font", "");
    SetWrap(settings->GetInt("wrap", 0) >= 1);

    // The font and the colour of the text state come from the scheme.
    InvalidateLayout(false, true);
}

void Label::GetSettings(KeyValues* settings) {
    Panel::GetSettings(settings);

    char text[1024];
    m_textImage->GetUnlocalizedText(text, sizeof(text));
    std::size_t prefix = std::strlen(kVariablePrefix);
    bool variable = platform::CompareNoCaseN(text, kVariablePrefix, prefix) == 0;
    settings->SetString("labelText", variable ? text + prefix : text);
    settings->SetString("textAlignment", kAlignmentNames[m_contentAlignment]);

    ResolvePendingAssociate();
    if (Panel* associate = GetAssociatedControl()) {
        settings->SetString("associate", associate->GetName());
    }
    settings->SetInt("dulltext", m_colorState == CS_DULL ? 1 : 0);
    settings->SetInt("brighttext", m_colorState == CS_BRIGHT ? 1 : 0);
    if (!m_fontName.empty()) {
        settings->SetString("font", m_fontName.c_str());
    }
    settings->SetInt("wrap", m_wrap ? 1 : 0);
}

const char* Label::GetDescription() {
    static char description[512];
    std::snprintf(description, sizeof(description),
                  "%s, string labelText, string associate, alignment textAlignment, int wrap, int dulltext, int "
                  "brighttext, string font",
                  Panel::GetDescription());
    return description;
}

}  // namespace vgui2
