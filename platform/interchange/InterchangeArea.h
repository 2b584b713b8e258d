#pragma once

// The interchange area: the named paging-file mapping and the two manual-reset
// events through which the core hook DLL and the main program exchange one
// request at a time, and the names inside the two XML documents that travel
// through it. Header only, kept in platform/ so that the DLL (platform/hookdll)
// and the main program include the one layout from below both.
//
//   DLL (in the target process)             main program (query thread)
//   writes an "SVQuery" document       -->  reads it, hands it to the tray window
//   sets DataNeeded                         resets DataNeeded
//                                      <--  on request writes an "SVAnswer"
//                                           document and sets DataCompleted
//
// The area holds one NUL-terminated UTF-8 text at offset 0. A reader accepts a
// text whose terminator lies within the mapped view.

#include <windows.h>

struct InterchangeArea
{
    static constexpr wchar_t kMappingName[] = L"Local\\$SCRIVOLANTER_INTERCHANGE_AREA$";
    static constexpr wchar_t kDataNeededEventName[] = L"Local\\Scrivolanter_DataNeeded";
    static constexpr wchar_t kDataCompletedEventName[] = L"Local\\Scrivolanter_DataCompleted";

    static constexpr DWORD kMappingSize = 2252800;
    // The length the reader's log line names as its readability check.
    static constexpr DWORD kMaxTextBytes = 409600;

    // The query document.
    static constexpr char kQueryRoot[] = "SVQuery";
    static constexpr char kQueryPointX[] = "POINT_X";
    static constexpr char kQueryPointY[] = "POINT_Y";
    static constexpr char kQueryActive[] = "HWND_Active";
    static constexpr char kQueryCapture[] = "HWND_Capture";
    static constexpr char kQueryCaret[] = "HWND_Caret";
    static constexpr char kQueryFocus[] = "HWND_Focus";
    static constexpr char kQueryMenuOwner[] = "HWND_MenuOwner";
    static constexpr char kQueryAppPath[] = "AppPath";
    static constexpr char kQueryClassName[] = "WindowClassName";
    static constexpr char kQueryWindow[] = "HWND";
    // The keyboard layout's high word travels as "HKLLoword", its low word as "HKLHoword".
    static constexpr char kQueryLayoutHigh[] = "HKLLoword";
    static constexpr char kQueryLayoutLow[] = "HKLHoword";
    static constexpr char kQuerySelText[] = "SelText";
    static constexpr char kQuerySelTextState[] = "StateSelText";

    // The answer document.
    static constexpr char kAnswerRoot[] = "SVAnswer";
    static constexpr char kAnswerSound[] = "Sound";
    static constexpr char kAnswerShowToolTips[] = "ShowToolTips";
    static constexpr char kAnswerTopMost[] = "ForegroundTopMostWnd";
    static constexpr char kAnswerGroup[] = "Group";
    static constexpr char kAnswerDefault[] = "Default";
    static constexpr char kAnswerCommand[] = "Command";
    static constexpr char kAnswerFlags[] = "Flags";
    static constexpr char kAnswerCommandId[] = "CMDID";
    static constexpr char kAnswerDataType[] = "DataType";
    static constexpr char kAnswerLcid[] = "LCID";
    static constexpr char kAnswerToolTip[] = "ToolTipText";
    static constexpr char kAnswerMenuPerColumn[] = "MenuPerColumn";
};

// StateSelText of a query.
enum SVSelTextState : int
{
    kSelTextStateMissing = -1,  // the attribute was not in the document
    kSelTextStateNone = 0,      // the target has no selected text
    kSelTextStateFailed = 1,    // the DLL could not read it
    kSelTextStateExtracted = 2, // SelText holds it
};
