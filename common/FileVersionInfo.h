#pragma once

// The version resource of a file: its fixed version block, first translation and
// the usual string values.

#include "platform/CString.h"

#include <windows.h>

class CFileVersionInfo
{
public:
    // The text fields, numbered as they are kept.
    enum Field : int
    {
        FieldCompanyName = 2,
        FieldLegalCopyright = 3,
        FieldFileDescription = 4,
        FieldFileVersion = 5,
        FieldFileVersionMajor = 6, // "%d" of the high word of the file version's high part
        FieldFileVersionMinor = 7, // "%d" of its low word
        FieldInternalName = 8,
        FieldOriginalFilename = 9,
        FieldProductName = 10,
        FieldProductVersion = 11,
        FieldFileVersionNumbers = 12, // "%d.%d.%d.%d" of the fixed block
        FieldOsText = 13,
        FieldFileTypeText = 14,
        FieldSpecialBuild = 17,
        FieldCount = 17,
    };

    // A reader of the file at `path`; every text is empty until Read succeeds.
    explicit CFileVersionInfo(const wchar_t* path);
    // A reader of the module's file (the program's own for null).
    static CFileVersionInfo CFileVersionInfoFromModule(HMODULE module);

    // Reads the version resource; false (and nothing filled) when the file has none.
    bool Read();

    const CString& GetPath() const { return m_path; }
    // The text of a field (1 to 17); empty for other numbers and for unset fields.
    CString GetField(int field) const;
    const VS_FIXEDFILEINFO& GetFixedInfo() const { return m_fixed; }
    WORD GetLanguage() const { return m_language; }
    WORD GetCodePage() const { return m_codePage; }

    // ProductVersion with every "," made "." and every blank removed.
    CString GetProductVersion() const;
    CString GetFileDescription() const { return GetField(FieldFileDescription); }
    // The product version before / after its last "." (the whole text when it has none).
    CString GetProductVersionHead() const;
    CString GetProductVersionTail() const;

    // Texts of the fixed block's values (empty for values without a text).
    static CString FileTypeText(DWORD fileType, DWORD fileSubtype);
    static CString FileOsText(DWORD fileOs);

private:
    CString m_path;
    CString m_fields[FieldCount + 1]; // index 0 unused
    VS_FIXEDFILEINFO m_fixed{};
    WORD m_language = 0;
    WORD m_codePage = 0;

    void Clear();
};
