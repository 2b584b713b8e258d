#pragma once

// Tests on the named file mappings of the interchange area.

#include <windows.h>

class CMMFFile
{
public:
    // True when a mapping of this name exists and can be opened for reading
    // (the handle is closed again).
    static bool OpenMMF_File_Test(LPCWSTR name);
};
