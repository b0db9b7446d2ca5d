#include "folder_navigator.h"

namespace {

CFolderNavigator* g_pNavigator = nullptr;

} // namespace

CFolderNavigator* AfxGetNavigator() {
    return g_pNavigator;
}

void AfxSetNavigator(CFolderNavigator* pNavigator) {
    g_pNavigator = pNavigator;
}
