#include "modules/updvgui2/PanelService.h"

#include <algorithm>

#include "modules/updvgui2/ModuleServices.h"
#include "platform/Text.h"
#include "services/IClientPanel.h"

using vgui2::IClientPanel;
using vgui2::kNoPanel;
using vgui2::VPANEL;

struct CPanelService::Record {
    IClientPanel* client = nullptr;
    VPANEL parent = kNoPanel;
    // Paint order: the last child is drawn last and hit first.
    std::vector<VPANEL> children;
    int x = 0;
    int y = 0;
    int wide = 0;
    int tall = 0;
    int minWide = 0;
    int minTall = 0;
    int z = 0;
    int insetLeft = 0;
    int insetTop = 0;
    int insetRight = 0;
    int insetBottom = 0;
    bool visible = true;
    bool enabled = true;
    bool popup = false;
    bool topmostPopup = false;
    bool mouseInput = true;
    bool keyboardInput = true;
};

namespace {

// Children leave from the end as a rule (a panel deletes its last child
// first), so the search runs backwards and one removal costs little.
void RemoveChild(std::vector<VPANEL>& children, VPANEL panel) {
    auto found = std::find(children.rbegin(), children.rend(), panel);
    if (found != children.rend()) {
        children.erase(std::next(found).base());
    }
}

struct Rect {
    int x0, y0, x1, y1;
};

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    // An empty intersection collapses to a zero-size rectangle so that
    // callers can test emptiness with x1 <= x0.
    if (r.x1 < r.x0) {
        r.x1 = r.x0;
    }
    if (r.y1 < r.y0) {
        r.y1 = r.y0;
    }
    return r;
}

}  // namespace

CPanelService::Record* CPanelService::Find(VPANEL panel) const {
    auto it = m_records.find(panel);
    return it == m_records.end() ? nullptr : it->second.get();
}

IClientPanel* CPanelService::ClientOf(VPANEL panel) const {
    Record* record = Find(panel);
    return record ? record->client : nullptr;
}

bool CPanelService::FlagOf(VPANEL panel, bool Record::*flag) const {
    Record* record = Find(panel);
    return record && record->*flag;
}

void CPanelService::SetFlag(VPANEL panel, bool Record::*flag, bool state) {
    if (Record* record = Find(panel)) {
        record->*flag = state;
    }
}

void CPanelService::AddPanel(VPANEL panel) { m_records.emplace(panel, std::make_unique<Record>()); }

void CPanelService::RemovePanel(VPANEL panel) {
    Record* record = Find(panel);
    if (!record) {
        return;
    }
    if (Record* parent = Find(record->parent)) {
        RemoveChild(parent->children, panel);
    }
    for (VPANEL child : record->children) {
        if (Record* childRecord = Find(child)) {
            childRecord->parent = kNoPanel;
        }
    }
    m_records.erase(panel);
}

bool CPanelService::Exists(VPANEL panel) const { return Find(panel) != nullptr; }

std::vector<VPANEL> CPanelService::RootPanels() const {
    std::vector<VPANEL> roots;
    for (const auto& [id, record] : m_records) {
        if (record->parent == kNoPanel) {
            roots.push_back(id);
        }
    }
    std::sort(roots.begin(), roots.end());
    return roots;
}

void CPanelService::Init(VPANEL panel, IClientPanel* clientPanel) {
    if (Record* record = Find(panel)) {
        record->client = clientPanel;
    }
}

void CPanelService::SetPos(VPANEL panel, int x, int y) {
    if (Record* record = Find(panel)) {
        record->x = x;
        record->y = y;
    }
}

void CPanelService::GetPos(VPANEL panel, int& x, int& y) {
    Record* record = Find(panel);
    x = record ? record->x : 0;
    y = record ? record->y : 0;
}

void CPanelService::SetSize(VPANEL panel, int wide, int tall) {
    Record* record = Find(panel);
    if (!record) {
        return;
    }
    wide = std::max(wide, record->minWide);
    tall = std::max(tall, record->minTall);
    if (wide == record->wide && tall == record->tall) {
        return;
    }
    record->wide = wide;
    record->tall = tall;
    if (record->client) {
        record->client->OnSizeChanged(wide, tall);
    }
}

void CPanelService::GetSize(VPANEL panel, int& wide, int& tall) {
    Record* record = Find(panel);
    wide = record ? record->wide : 0;
    tall = record ? record->tall : 0;
}

void CPanelService::SetMinimumSize(VPANEL panel, int wide, int tall) {
    Record* record = Find(panel);
    if (!record) {
        return;
    }
    record->minWide = wide;
    record->minTall = tall;
    if (record->wide < wide || record->tall < tall) {
        SetSize(panel, record->wide, record->tall);
    }
}

void CPanelService::GetMinimumSize(VPANEL panel, int& wide, int& tall) {
    Record* record = Find(panel);
    wide = record ? record->minWide : 0;
    tall = record ? record->minTall : 0;
}

void CPanelService::SortChildren(Record& parent) {
    std::stable_sort(parent.children.begin(), parent.children.end(), [this](VPANEL a, VPANEL b) {
        Record* ra = Find(a);
        Record* rb = Find(b);
        return (ra ? ra->z : 0) < (rb ? rb->z : 0);
    });
}

void CPanelService::SetZPos(VPANEL panel, int z) {
    Record* record = Find(panel);
    if (!record) {
        return;
    }
    record->z = z;
    if (Record* parent = Find(record->parent)) {
        SortChildren(*parent);
    }
}

int CPanelService::GetZPos(VPANEL panel) {
    Record* record = Find(panel);
    return record ? record->z : 0;
}

void CPanelService::GetAbsPos(VPANEL panel, int& x, int& y) {
    x = 0;
    y = 0;
    // A popup is its own native window placed at its position on the screen,
    // so its position is already absolute.
    for (Record* record = Find(panel); record; record = record->popup ? nullptr : Find(record->parent)) {
        x += record->x;
        y += record->y;
    }
}

void CPanelService::GetClipRect(VPANEL panel, int& x0, int& y0, int& x1, int& y1) {
    Record* record = Find(panel);
    if (!record) {
        x0 = y0 = x1 = y1 = 0;
        return;
    }
    int ax = 0;
    int ay = 0;
    GetAbsPos(panel, ax, ay);
    Rect clip{ax, ay, ax + record->wide, ay + record->tall};
    Record* parent = record->popup ? nullptr : Find(record->parent);
    if (parent) {
        int px0 = 0, py0 = 0, px1 = 0, py1 = 0;
        GetClipRect(record->parent, px0, py0, px1, py1);
        int pax = 0;
        int pay = 0;
        GetAbsPos(record->parent, pax, pay);
        Rect inner{pax + parent->insetLeft, pay + parent->insetTop, pax + parent->wide - parent->insetRight,
                   pay + parent->tall - parent->insetBottom};
        clip = Intersect(Intersect(clip, inner), Rect{px0, py0, px1, py1});
    }
    x0 = clip.x0;
    y0 = clip.y0;
    x1 = clip.x1;
    y1 = clip.y1;
}

void CPanelService::SetInset(VPANEL panel, int left, int top, int right, int bottom) {
    if (Record* record = Find(panel)) {
        record->insetLeft = left;
        record->insetTop = top;
        record->insetRight = right;
        record->insetBottom = bottom;
    }
}

void CPanelService::GetInset(VPANEL panel, int& left, int& top, int& right, int& bottom) {
    Record* record = Find(panel);
    left = record ? record->insetLeft : 0;
    top = record ? record->insetTop : 0;
    right = record ? record->insetRight : 0;
    bottom = record ? record->insetBottom : 0;
}

void CPanelService::SetVisible(VPANEL panel, bool state) {
    Record* record = Find(panel);
    if (!record || record->visible == state) {
        return;
    }
    record->visible = state;
    if (record->popup) {
        if (vgui2::ISurface* surface = ModuleSurface()) {
            surface->SetPanelVisible(panel, state);
        }
    }
}

bool CPanelService::IsVisible(VPANEL panel) { return FlagOf(panel, &Record::visible); }

void CPanelService::SetParent(VPANEL panel, VPANEL newParent) {
    Record* record = Find(panel);
    if (!record || record->parent == newParent) {
        return;
    }
    // A panel cannot become a child of itself or of its own descendant: the
    // tree would turn into a cycle that every traversal would loop on.
    if (newParent != kNoPanel && HasParent(newParent, panel)) {
        return;
    }
    Record* newRecord = Find(newParent);
    if (newParent != kNoPanel && !newRecord) {
        return;
    }
    if (Record* oldParent = Find(record->parent)) {
        RemoveChild(oldParent->children, panel);
    }
    record->parent = newParent;
    if (!newRecord) {
        return;
    }
    // Insert after every sibling of the same or lower z, so that a new child
    // is drawn on top of its equals. Searched from the end, where a new child
    // of the common z belongs, so filling a list of n rows stays linear.
    auto position = std::find_if(newRecord->children.rbegin(), newRecord->children.rend(), [&](VPANEL sibling) {
        Record* siblingRecord = Find(sibling);
        return !siblingRecord || siblingRecord->z <= record->z;
    });
    newRecord->children.insert(position.base(), panel);
    if (newRecord->client) {
        newRecord->client->OnChildAdded(panel);
    }
}

int CPanelService::GetChildCount(VPANEL panel) {
    Record* record = Find(panel);
    return record ? static_cast<int>(record->children.size()) : 0;
}

VPANEL CPanelService::GetChild(VPANEL panel, int index) {
    Record* record = Find(panel);
    if (!record || index < 0 || index >= static_cast<int>(record->children.size())) {
        return kNoPanel;
    }
    return record->children[static_cast<std::size_t>(index)];
}

VPANEL CPanelService::GetParent(VPANEL panel) {
    Record* record = Find(panel);
    return record ? record->parent : kNoPanel;
}

void CPanelService::MoveToFront(VPANEL panel) { Restack(panel, true); }

void CPanelService::MoveToBack(VPANEL panel) { Restack(panel, false); }

void CPanelService::Restack(VPANEL panel, bool toFront) {
    Record* record = Find(panel);
    if (!record) {
        return;
    }
    if (Record* parent = Find(record->parent)) {
        // The panel takes the z of the end it moves to, so that a later sort
        // by z keeps it there.
        for (VPANEL sibling : parent->children) {
            if (Record* siblingRecord = Find(sibling)) {
                record->z = toFront ? std::max(record->z, siblingRecord->z) : std::min(record->z, siblingRecord->z);
            }
        }
        RemoveChild(parent->children, panel);
        parent->children.insert(toFront ? parent->children.end() : parent->children.begin(), panel);
    }
    if (record->popup) {
        if (vgui2::ISurface* surface = ModuleSurface()) {
            if (toFront) {
                surface->MovePopupToFront(panel);
            } else {
                surface->MovePopupToBack(panel);
            }
        }
    }
}

bool CPanelService::HasParent(VPANEL panel, VPANEL potentialParent) {
    for (Record* record = Find(panel); record; record = Find(panel)) {
        if (panel == potentialParent) {
            return true;
        }
        panel = record->parent;
    }
    return false;
}

bool CPanelService::IsPopup(VPANEL panel) { return FlagOf(panel, &Record::popup); }

void CPanelService::SetPopup(VPANEL panel, bool state) { SetFlag(panel, &Record::popup, state); }

bool CPanelService::IsFullyVisible(VPANEL panel) {
    Record* record = Find(panel);
    if (!record) {
        return false;
    }
    for (; record; record = Find(record->parent)) {
        if (!record->visible) {
            return false;
        }
    }
    return true;
}

void CPanelService::SetEnabled(VPANEL panel, bool state) { SetFlag(panel, &Record::enabled, state); }

bool CPanelService::IsEnabled(VPANEL panel) { return FlagOf(panel, &Record::enabled); }

void CPanelService::SetKeyBoardInputEnabled(VPANEL panel, bool state) { SetFlag(panel, &Record::keyboardInput, state); }

void CPanelService::SetMouseInputEnabled(VPANEL panel, bool state) { SetFlag(panel, &Record::mouseInput, state); }

bool CPanelService::IsKeyBoardInputEnabled(VPANEL panel) { return FlagOf(panel, &Record::keyboardInput); }

bool CPanelService::IsMouseInputEnabled(VPANEL panel) { return FlagOf(panel, &Record::mouseInput); }

void CPanelService::SetTopmostPopup(VPANEL panel, bool state) { SetFlag(panel, &Record::topmostPopup, state); }

bool CPanelService::IsTopmostPopup(VPANEL panel) { return FlagOf(panel, &Record::topmostPopup); }

// Screen positions and clip rectangles are computed from the tree whenever
// they are asked for, so there is nothing to bring up to date here.
void CPanelService::Solve(VPANEL) {}

vgui2::HScheme CPanelService::GetScheme(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetScheme() : 0;
}

bool CPanelService::IsProportional(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client && client->IsProportional();
}

bool CPanelService::IsAutoDeleteSet(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client && client->IsAutoDeleteSet();
}

void CPanelService::DeletePanel(VPANEL panel) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->DeletePanel();
    }
}

const char* CPanelService::GetName(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetName() : "";
}

const char* CPanelService::GetClassName(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetClassName() : "";
}

const char* CPanelService::GetModuleName(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetModuleName() : "";
}

void CPanelService::Think(VPANEL panel) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->Think();
    }
}

void CPanelService::PerformApplySchemeSettings(VPANEL panel) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->PerformApplySchemeSettings();
    }
}

void CPanelService::PaintTraverse(VPANEL panel, bool forceRepaint, bool allowForce) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->PaintTraverse(forceRepaint, allowForce);
    }
}

void CPanelService::Repaint(VPANEL panel) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->Repaint();
    }
}

VPANEL CPanelService::IsWithinTraverse(VPANEL panel, int x, int y, bool traversePopups) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->IsWithinTraverse(x, y, traversePopups) : kNoPanel;
}

void CPanelService::OnChildAdded(VPANEL panel, VPANEL child) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->OnChildAdded(child);
    }
}

void CPanelService::OnSizeChanged(VPANEL panel, int newWide, int newTall) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->OnSizeChanged(newWide, newTall);
    }
}

void CPanelService::InternalFocusChanged(VPANEL panel, bool lost) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->InternalFocusChanged(lost);
    }
}

bool CPanelService::RequestInfo(VPANEL panel, KeyValues* outputData) {
    IClientPanel* client = ClientOf(panel);
    return client && client->RequestInfo(outputData);
}

void CPanelService::RequestFocus(VPANEL panel, int direction) {
    if (IClientPanel* client = ClientOf(panel)) {
        client->RequestFocus(direction);
    }
}

bool CPanelService::RequestFocusPrev(VPANEL panel, VPANEL existingPanel) {
    IClientPanel* client = ClientOf(panel);
    return client && client->RequestFocusPrev(existingPanel);
}

bool CPanelService::RequestFocusNext(VPANEL panel, VPANEL existingPanel) {
    IClientPanel* client = ClientOf(panel);
    return client && client->RequestFocusNext(existingPanel);
}

VPANEL CPanelService::GetCurrentKeyFocus(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetCurrentKeyFocus() : kNoPanel;
}

int CPanelService::GetTabPosition(VPANEL panel) {
    IClientPanel* client = ClientOf(panel);
    return client ? client->GetTabPosition() : 0;
}

void CPanelService::SendMessage(VPANEL panel, KeyValues* params, VPANEL fromPanel) {
    if (IClientPanel* client = ClientOf(panel); client && params) {
        client->OnMessage(params, fromPanel);
    }
}

IClientPanel* CPanelService::Client(VPANEL panel) { return ClientOf(panel); }

vgui2::Panel* CPanelService::GetPanel(VPANEL panel, const char* destinationModule) {
    IClientPanel* client = ClientOf(panel);
    if (!client || !destinationModule) {
        return nullptr;
    }
    const char* owner = client->GetModuleName();
    if (!owner || platform::CompareNoCase(owner, destinationModule) != 0) {
        return nullptr;
    }
    return client->GetPanel();
}

CPanelService& ThePanelServiceImpl() {
    static CPanelService instance;
    return instance;
}

vgui2::IPanel& ThePanelService() { return ThePanelServiceImpl(); }
