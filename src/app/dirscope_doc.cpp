#include "dirscope_doc.h"

IMPLEMENT_DYNCREATE(CDirscopeDoc, CDocument)
