#include "fileinfo/TagText_win.h"

#include "base/Text_win.h"
#include "base/Utf.h"

TTagTextCodec RecordTextCodec() { return TTagTextCodec(&Utf16ToUtf8, &AnsiToUtf8); }
