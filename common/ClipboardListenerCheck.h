#pragma once

// Whether this system offers clipboard format listeners.

// True when user32.dll exports "AddClipboardFormatListener".
bool IsClipboardFormatListenerAvailable();
