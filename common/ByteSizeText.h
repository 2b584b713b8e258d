#pragma once

// Short byte-size texts such as "1.50 KB" or "2.00 GB".

#include "platform/CString.h"

#include <windows.h>

// StrFormatByteSizeW of shlwapi.dll (loaded for the call); empty when the
// library or the function is missing.
CString FormatByteSizeText(LONGLONG byteCount);
