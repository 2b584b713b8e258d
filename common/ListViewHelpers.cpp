#include "common/ListViewHelpers.h"

#include <commctrl.h>

LRESULT ListViewScrollItemToTop(HWND list, int item)
{
    const int count = ListView_GetItemCount(list);
    if (count <= 0 || item < 0 || item >= count)
        return 0;
    const LRESULT result = ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), TRUE);
    if (!result)
        return result;
    const int perPage = ListView_GetCountPerPage(list);
    if (perPage > 1) {
        int last = item + perPage - 1;
        if (last > count - 1)
            last = count - 1;
        ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(last), TRUE);
    }
    return result;
}
