#pragma once
// Identifiers of the update window's dialog template.

#define IDD_SCV_UPDATE_WINDOW 219
#define IDC_UPDATE_VISIT 3
#define IDC_UPDATE_HTML 1012
