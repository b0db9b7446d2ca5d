#pragma once
// An owner for an image list of one's own (ImageList_Create's), destroyed with it; the
// shell's system image lists are never put in one.

#include <windows.h>

#include <commctrl.h>

#include "owners.h"

using UniqueImageList = UniqueHandle<handle_traits::NullIsNone<HIMAGELIST, ImageList_Destroy>>;
