#include "app/target/CSCV_Wait_Objs.h"

#include "app/target/CMMFFile.h"
#include "platform/interchange/InterchangeArea.h"
#include "app/target/SVInterProcess.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"
#include "common/SystemErrorText.h"

namespace
{
// "<what> objname: [name] Error code: [n], desc: [text]" as an error line.
void LogObjectError(const CString& what, const CString& name, DWORD error)
{
    CString line;
    line.Format(L"%s objname: [%s] Error code: [%u], desc: [%s]", what.GetString(), name.GetString(), error,
                GetSystemErrorText(error).GetString());
    LogError(line);
}

void LogCreationError(LPCWSTR what, const CString& name)
{
    LogObjectError(CString(L"Cannot create ") + what, name, ::GetLastError());
}
} // namespace

CSCV_Wait_Objs::CSCV_Wait_Objs()
    : CSCV_Wait_Objs(InterchangeArea::kDataNeededEventName, InterchangeArea::kDataCompletedEventName,
                     InterchangeArea::kMappingName)
{}

CSCV_Wait_Objs::CSCV_Wait_Objs(LPCWSTR dataNeededName, LPCWSTR dataCompletedName, LPCWSTR mappingName)
    : m_dataNeededName(dataNeededName), m_dataCompletedName(dataCompletedName), m_mappingName(mappingName)
{}

CSCV_Wait_Objs::~CSCV_Wait_Objs()
{
    CloseWaitObjects();
}

bool CSCV_Wait_Objs::CreateWaitObjects()
{
    CloseWaitObjects();
    if (CMMFFile::OpenMMF_File_Test(m_mappingName))
        LogCreationError(L"CMMFFile::OpenMMF_File_Test IS true in the [CSCV_Wait_Objs::CreateWaitObjects]",
                         m_mappingName);

    m_mapping = SVInterProcess::CreateEmptyFileMapping(m_mappingName);
    if (!m_mapping) {
        LogCreationError(L"FileMapping", m_mappingName);
        CloseWaitObjects();
        return false;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        LogError(L"GetLastError ERROR_ALREADY_EXISTS in the CreateEmptyFileMapping, "
                 L"CSCV_Wait_Objs::CreateWaitObjects");

    m_dataNeeded = ::CreateEventW(nullptr, TRUE, FALSE, m_dataNeededName);
    if (!m_dataNeeded) {
        LogCreationError(L"Event for data needed", m_dataNeededName);
        CloseWaitObjects();
        return false;
    }
    m_dataCompleted = ::CreateEventW(nullptr, TRUE, FALSE, m_dataCompletedName);
    if (!m_dataCompleted) {
        LogCreationError(L"Event for data complete", m_dataCompletedName);
        CloseWaitObjects();
        return false;
    }
    WriteLogLine(L"All wait objects successfully created");
    return true;
}

void CSCV_Wait_Objs::CloseWaitObjects()
{
    CloseOne(m_dataCompleted, m_dataCompletedName);
    CloseOne(m_dataNeeded, m_dataNeededName);
    CloseOne(m_mapping, m_mappingName);
}

void CSCV_Wait_Objs::CloseOne(HANDLE& handle, const CString& name)
{
    if (!handle)
        return;
    ProtectHandleFromClose(handle, false);
    if (!::CloseHandle(handle))
        LogObjectError(L"Cannot close ", name, ::GetLastError());
    handle = nullptr;
}
