#pragma once
// The process-wide image list of phrase kinds that the phrase tree and the phrase list share:
// 18 x 18, 32-bit colour with mask, on the window colour.

#include <windows.h>

#include <commctrl.h>

#include "platform/CString.h"

enum PhraseKindImage : int
{
    kImageFolderClosed = 0,
    kImageFolderOpen = 1,
    kImageFormattedText = 2,
    kImagePlainText = 3,
    kImageStartApplication = 4,
    kPhraseKindImageCount = 5,
};

// Built on first use, destroyed at process exit; null when it cannot be made. Every index of
// PhraseKindImage holds an image (a missing icon is stood in for by the system's application icon).
HIMAGELIST GetPhraseKindImageList();

// The image of a record kind: 0 plain text, 1 formatted text, 2 start an application; a group gives
// the closed folder.
int PhraseKindImageIndex(int kind, bool group);

// The first of ".doc", ".docx" and ".rtf" whose files open with a program (tested on an empty
// temporary file of that type); empty when none does.
CString FindFormattedTextExtension();
