#pragma once

// An image list that remembers which named icon sits at which index, so each
// icon is added once.

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

class CImageListCache
{
public:
    CImageListCache() = default;
    // Frees the name map only; the image list is the owner's.
    ~CImageListCache() = default;
    CImageListCache(const CImageListCache&) = delete;
    CImageListCache& operator=(const CImageListCache&) = delete;

    // The image list is made by the owner; the cache never creates one.
    void SetImageList(HIMAGELIST imageList) { m_imageList = imageList; }
    HIMAGELIST GetImageList() const { return m_imageList; }

    // The index of the named icon; -1 for a null name or an unknown one.
    int GetIndex(LPCWSTR name) const;
    // The index of the named icon, appending the icon when the name is new;
    // -1 for a null name or when the icon cannot be added.
    int AddIcon(HICON icon, LPCWSTR name);
    // Destroys the image list; on success the handle is cleared and the names
    // forgotten. Returns ImageList_Destroy's result.
    BOOL Destroy();

private:
    HIMAGELIST m_imageList = nullptr;
    std::map<std::wstring, int> m_indexes; // name (exact characters) -> image index
};
