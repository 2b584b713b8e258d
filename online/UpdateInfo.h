#pragma once

// The result of one update check. It is built on the check's worker thread
// and handed to the notify window with SendMessageW (lParam its address), so
// it is valid only while that message is being handled: the handler must not
// keep the address.

#include <windows.h>

#include <vector>

#include "online/NewsItem.h"
#include "online/VersionNumbers.h"
#include "platform/CString.h"

class CUpdateInfo
{
public:
    // All texts empty, both sizes 0, the release time zero; the own version
    // from the program's version resource.
    explicit CUpdateInfo(int automaticCheck);

    CString newVersion;  // the offered version when it is newer than the own one, else empty
    CString releaseDate; // date of the download file, for display
    CString status;      // text of the answer's "Status"
    CString error;       // empty on success
    int automatic = 0;   // 1: started by the schedule, 0: by the user
    CVersionNumbers ownVersion;
    CVersionNumbers offeredVersion;
    CString whatsNewUrl;
    CString portableDownloadUrl;
    CString downloadUrl;
    // Content length of the portable download; -1 when its header query
    // fails or sends no length; 0 without such an address.
    int portableDownloadSize = 0;
    // Content length of the download; -1 when the server sends no length; 0
    // without an address or when its header query fails.
    int downloadSize = 0;
    std::vector<NewsItem> news; // at most 6
    SYSTEMTIME releaseTime{};   // the release date as local time; zero when none was received
};
