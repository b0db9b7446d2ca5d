#include "cmd_target.h"

const CRuntimeClass* CObject::GetThisClass() {
    static const CRuntimeClass rc{"CObject", nullptr, nullptr};
    return &rc;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageEntry entries[] = {MessageEntry{}};
    static const MessageMap map{nullptr, entries};
    return &map;
}

namespace {

bool Matches(const MessageEntry& e, EntryKind kind, UINT nMessage, UINT nID) {
    if (e.kind != kind)
        return false;
    switch (kind) {
    case EntryKind::Message:
    case EntryKind::ReflectNotify:
    case EntryKind::ReflectCommand:
        return e.nMessage == nMessage;
    case EntryKind::CtlColor:
    case EntryKind::ReflectCtlColor:
        return true;
    case EntryKind::UpdateUI:
        return nID >= e.nIDFirst && nID <= e.nIDLast;
    case EntryKind::Command:
    case EntryKind::Notify:
        return e.nMessage == nMessage && nID >= e.nIDFirst && nID <= e.nIDLast;
    case EntryKind::End:
        break;
    }
    return false;
}

} // namespace

std::optional<LRESULT> CCmdTarget::DispatchEntries(EntryKind kind, UINT nMessage, UINT nID,
                                                   MsgCall& call) {
    for (const MessageMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageEntry* e = map->pEntries; e->kind != EntryKind::End; ++e) {
            if (!Matches(*e, kind, nMessage, nID))
                continue;
            if (std::optional<LRESULT> result = e->pfn(*this, call))
                return result;
        }
    }
    return std::nullopt;
}

bool CCmdTarget::HasEntry(EntryKind kind, UINT nMessage, UINT nID) const {
    for (const MessageMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageEntry* e = map->pEntries; e->kind != EntryKind::End; ++e)
            if (Matches(*e, kind, nMessage, nID))
                return true;
    }
    return false;
}

bool CCmdTarget::OnCmdMsg(CmdMsg& msg) {
    MsgCall call;
    call.pCmd = &msg;
    switch (msg.phase) {
    case CmdPhase::Execute:
        return DispatchEntries(EntryKind::Command, msg.nCode, msg.nID, call).has_value();
    case CmdPhase::UpdateUI:
        return DispatchEntries(EntryKind::UpdateUI, 0, msg.nID, call).has_value();
    case CmdPhase::Probe:
        return HasEntry(EntryKind::Command, msg.nCode, msg.nID);
    }
    return false;
}

void CCmdUI::Enable(bool bOn) {
    if (m_hMenu)
        EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int nCheck) {
    if (m_hMenu)
        CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetText(const char* lpszText) {
    if (!m_hMenu)
        return;
    // Keep the item's id and state; change its text only.
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(lpszText);
    SetMenuItemInfoA(m_hMenu, m_nIndex, TRUE, &info);
}

void CCmdUI::DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler) {
    if (!pTarget)
        return;
    m_bEnableChanged = false;
    m_bContinueRouting = false;
    CmdMsg update{m_nID, 0, CmdPhase::UpdateUI, this};
    pTarget->OnCmdMsg(update);
    if (bDisableIfNoHandler && !m_bEnableChanged) {
        CmdMsg probe{m_nID, 0, CmdPhase::Probe, this};
        Enable(pTarget->OnCmdMsg(probe));
    }
}
