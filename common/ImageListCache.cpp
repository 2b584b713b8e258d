#include "common/ImageListCache.h"

int CImageListCache::GetIndex(LPCWSTR name) const
{
    if (!name)
        return -1;
    auto found = m_indexes.find(name);
    return found == m_indexes.end() ? -1 : found->second;
}

int CImageListCache::AddIcon(HICON icon, LPCWSTR name)
{
    if (!name)
        return -1;
    int known = GetIndex(name);
    if (known >= 0)
        return known;
    int index = ::ImageList_ReplaceIcon(m_imageList, -1, icon);
    if (index < 0)
        return -1;
    m_indexes[name] = index;
    return index;
}

BOOL CImageListCache::Destroy()
{
    BOOL destroyed = ::ImageList_Destroy(m_imageList);
    if (destroyed) {
        m_imageList = nullptr;
        m_indexes.clear();
    }
    return destroyed;
}
