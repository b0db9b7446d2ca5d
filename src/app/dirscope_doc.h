#pragma once
// CDirscopeDoc: the one document. It holds nothing; everything the user sees lives in
// the main window and the list view.

#include "document.h"

class CDirscopeDoc : public CDocument {
    DECLARE_DYNCREATE(CDirscopeDoc)
};
