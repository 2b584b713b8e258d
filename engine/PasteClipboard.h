#pragma once

// What a pasting text action asks of the phrase request it runs in: whether the clipboard may
// carry the phrase (the user's own content was kept and will come back) and how to put it there.

#include "engine/ClipboardAccess.h"

class IPasteClipboard
{
public:
    virtual ~IPasteClipboard() = default;

    // False when the user's clipboard content could not be kept: a phrase put on the clipboard
    // would destroy it.
    virtual bool MayCarryPhrase() const = 0;
    // Empties the clipboard and puts the blocks there for one paste. False when nothing was put.
    virtual bool PutForPaste(const ClipboardBlockMap& blocks) = 0;
};
