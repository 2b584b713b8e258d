#pragma once

// A record of two strings, such as (name, value) or (file, parameters).

#include "platform/CString.h"

struct CStringPair
{
    CString first;
    CString second;

    CStringPair() = default;
    CStringPair(const CString& firstText, const CString& secondText) : first(firstText), second(secondText) {}
};
