#pragma once
// The Win32 side of tag text: a record's texts are UTF-8, Unicode tags kept as
// they are and 8-bit ones converted from the system's code page.
#include "fileinfo/TagText.h"

TTagTextCodec RecordTextCodec();
