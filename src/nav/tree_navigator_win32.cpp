#include "tree_navigator_win32.h"

void CTreeCtrlNavigator::LockUpdates() {
    m_bLocked = ::LockWindowUpdate(m_tree.m_hWnd) != FALSE;
}

void CTreeCtrlNavigator::UnlockUpdates() {
    if (m_bLocked)
        ::LockWindowUpdate(nullptr);
    m_bLocked = false;
}
