#include "editor/app/phrases/PhraseKindImages.h"

#include <shellapi.h>

#include "common/GdiObjectGuards.h"
#include "common/IconHelpers.h"
#include "common/PathFunctions.h"
#include "online/EditorIcons.h"

namespace
{
constexpr int kImageSize = 18;
constexpr UINT kStartApplicationIcon = 144;

// Destroys the list at process exit.
class PhraseKindImageList
{
public:
    PhraseKindImageList() { Build(); }
    ~PhraseKindImageList()
    {
        if (m_list)
            ImageList_Destroy(m_list);
    }
    PhraseKindImageList(const PhraseKindImageList&) = delete;
    PhraseKindImageList& operator=(const PhraseKindImageList&) = delete;

    HIMAGELIST Get() const { return m_list; }

private:
    void Build()
    {
        m_list = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, kPhraseKindImageCount, 1);
        if (!m_list)
            return;
        ImageList_SetBkColor(m_list, ::GetSysColor(COLOR_WINDOW));
        Add(GetStockIconCompat(0, false));
        Add(GetStockIconCompat(1, false));
        const CString formatted = FindFormattedTextExtension();
        Add(LoadFileTypeIcon(formatted.IsEmpty() ? L".rtf" : formatted.GetString(), false));
        Add(GetTxtFileSmallIcon());
        Add(LoadIconSmall(::GetModuleHandleW(nullptr), kStartApplicationIcon));
    }

    // Takes the icon (destroyed here); a missing one is replaced so that the indexes stay.
    void Add(HICON icon)
    {
        IconHandle owned(icon);
        if (!owned || ImageList_AddIcon(m_list, owned.get()) < 0)
            ImageList_AddIcon(m_list, ::LoadIconW(nullptr, IDI_APPLICATION));
    }

    HIMAGELIST m_list = nullptr;
};

bool HasAssociatedProgram(LPCWSTR extension)
{
    const CString path = MakeTempFilePathIn(nullptr, extension);
    if (path.IsEmpty())
        return false;
    wchar_t program[MAX_PATH] = {};
    const auto result = reinterpret_cast<INT_PTR>(::FindExecutableW(path, nullptr, program));
    ::DeleteFileW(path);
    return result > 32 && program[0] != L'\0';
}
} // namespace

HIMAGELIST GetPhraseKindImageList()
{
    static PhraseKindImageList list;
    return list.Get();
}

int PhraseKindImageIndex(int kind, bool group)
{
    if (group)
        return kImageFolderClosed;
    switch (kind) {
    case 1:
        return kImageFormattedText;
    case 2:
        return kImageStartApplication;
    default:
        return kImagePlainText;
    }
}

CString FindFormattedTextExtension()
{
    for (LPCWSTR extension : {L".doc", L".docx", L".rtf"}) {
        if (HasAssociatedProgram(extension))
            return extension;
    }
    return CString();
}
