#pragma once

// The interchange objects of the tray window: the DataNeeded event, the
// DataCompleted event (both manual-reset, initially reset) and the
// interchange mapping (see platform/interchange/InterchangeArea.h).
//
// The names default to the interchange area's; other names serve tests and
// anything that runs beside a real instance.

#include <windows.h>

#include "platform/CString.h"

class CSCV_Wait_Objs
{
public:
    CSCV_Wait_Objs();
    CSCV_Wait_Objs(LPCWSTR dataNeededName, LPCWSTR dataCompletedName, LPCWSTR mappingName);
    ~CSCV_Wait_Objs();
    CSCV_Wait_Objs(const CSCV_Wait_Objs&) = delete;
    CSCV_Wait_Objs& operator=(const CSCV_Wait_Objs&) = delete;

    // Creates the mapping, then the two events. A mapping left by another
    // instance is logged and reused. On failure logs "Cannot create ...",
    // closes what was made and returns false.
    bool CreateWaitObjects();
    // Closes DataCompleted, DataNeeded, then the mapping (protection from
    // closing cleared first); failures are logged. The query thread must be
    // stopped first (CWaitQuery::StopWaitThread).
    void CloseWaitObjects();
    bool IsCreated() const { return m_dataNeeded && m_dataCompleted && m_mapping; }

    HANDLE GetDataNeededEvent() const { return m_dataNeeded; }
    HANDLE GetDataCompletedEvent() const { return m_dataCompleted; }
    HANDLE GetMapping() const { return m_mapping; }

    const CString& GetDataNeededName() const { return m_dataNeededName; }
    const CString& GetDataCompletedName() const { return m_dataCompletedName; }
    const CString& GetMappingName() const { return m_mappingName; }

private:
    void CloseOne(HANDLE& handle, const CString& name);

    HANDLE m_dataNeeded = nullptr;
    HANDLE m_dataCompleted = nullptr;
    HANDLE m_mapping = nullptr;
    CString m_dataNeededName;
    CString m_dataCompletedName;
    CString m_mappingName;
};
