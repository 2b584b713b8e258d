#pragma once

// One item of the maker's news feed, as the update page shows it.

#include "platform/CString.h"

struct NewsItem
{
    CString title;
    CString description;
    CString link;
    CString date;
    CString author;
};
