#include "app/target/CMMFFile.h"

#include "common/KernelHandle.h"

bool CMMFFile::OpenMMF_File_Test(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    CKernelHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    return static_cast<bool>(mapping);
}
