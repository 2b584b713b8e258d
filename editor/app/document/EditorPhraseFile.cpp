#include "editor/app/document/EditorPhraseFile.h"

#include "common/SharedLog.h"
#include "common/SystemErrorText.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseFileWriter.h"

bool WritePhraseFile(const PhraseItemRecord& record, const CString& path, PhraseWriteErrorFunction onError,
                     void* user)
{
    const std::string bytes = BuildPhraseXml(record);
    CString errorText;
    if (bytes.empty()) {
        errorText = L"ERROR: cannot create XML for command";
    } else if (!WritePhraseFileBytes(path, bytes)) {
        const DWORD error = GetLastError();
        errorText.Format(L"ERROR: code %d, %s", static_cast<int>(error),
                         GetSystemErrorText(error).GetString());
    } else {
        return true;
    }
    WriteLogLine(errorText);
    if (onError != nullptr) {
        onError(record, path, errorText, user);
    }
    return false;
}

int DataTypeFromText(const CString& text)
{
    return PhraseDataTypeFromText(text);
}

CString DataTypeText(int kind)
{
    return PhraseDataTypeToText(kind);
}
