#include "online/DateServices.h"

bool SystemTimeToLocalTime(const SYSTEMTIME& utc, SYSTEMTIME& local)
{
    FILETIME utcFile{};
    FILETIME localFile{};
    return ::SystemTimeToFileTime(&utc, &utcFile) && ::FileTimeToLocalFileTime(&utcFile, &localFile) &&
           ::FileTimeToSystemTime(&localFile, &local);
}
