#pragma once

// Messages this process posts or sends to its own windows to start work that no other program may
// start: add a phrase, show a menu, act on a tree item. Any process can post or send the same
// numbers with any parameters; a handler written with OWN_MESSAGE_HANDLER acts only on a post or
// send this process made with exactly those parameters and answers 0 to every other. Each post
// counts once. Any thread.

#include <windows.h>

#include "platform/CMessageMap.h"

// Posts the message and keeps it expected until its handler takes it; false (nothing kept) when
// the post fails.
bool PostOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sends the message; its handler takes it while the send lasts.
LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// For the handler: true once for each expected post (or a send in progress) of exactly this
// message, window and parameters, which it takes; false for anything else.
bool TakeOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A message-map entry whose handler runs only for this process's own posts and sends.
#define OWN_MESSAGE_HANDLER(msg, func)                                                                       \
    if (uMsg == (msg)) {                                                                                     \
        if (!TakeOwnMessage(hWnd, uMsg, wParam, lParam)) {                                                   \
            lResult = 0;                                                                                     \
            return TRUE;                                                                                     \
        }                                                                                                    \
        SCV_MSG_MAP_CALL(func(uMsg, wParam, lParam, bHandled))                                               \
    }
