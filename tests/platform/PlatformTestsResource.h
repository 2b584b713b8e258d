#pragma once
// Resource ids of the platform tests' resource script.

#define IDS_TEST_HELLO 101
#define IDS_TEST_FORMAT 102
#define IDS_TEST_BLOCK_END 111
#define IDS_TEST_MISSING 150
#define IDS_TEST_IDLE 57345 // the frame's idle text

#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 201
#define IDC_TEST_BUTTON 202
