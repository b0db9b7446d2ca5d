#include "dirscope_doc.h"

IMPLEMENT_DYNCREATE(CDirscopeDoc, CDocument)

bool CDirscopeDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}
