#include "online/UpdateInfo.h"

CUpdateInfo::CUpdateInfo(int automaticCheck) : automatic(automaticCheck)
{
    ReadOwnVersionNumbers(ownVersion);
}
