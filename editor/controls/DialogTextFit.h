#pragma once
// Widens a settings page's check boxes and labels to their texts in the font in use, so that every
// language shows them whole: each control grows to its text, the controls to its right in its row move
// along, its group box grows to hold them, and the columns of group boxes to the right move over.

#include <windows.h>

#include <set>

// boldIds: controls drawn in the bold dialog font whatever their window font says.
void FitDialogTextsToColumns(HWND page, const std::set<int>& boldIds = {});
