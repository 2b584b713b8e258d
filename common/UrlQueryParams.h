#pragma once

// The query string of the update check: (name, value) pairs appended to a base
// address, and one reader per machine fact that the query can carry.

#include "common/StringPair.h"
#include "platform/CString.h"

#include <vector>

class CUrlQueryParams
{
public:
    explicit CUrlQueryParams(const wchar_t* baseUrl);

    // Appends a pair: blanks in the name become "_"; the value is wrapped in
    // "[" and "]" when `bracketed`.
    void AddParam(const wchar_t* name, const wchar_t* value, bool bracketed);
    void AddParamText(const wchar_t* name, const wchar_t* value) { AddParam(name, value, false); }
    void AddParamInt(const wchar_t* name, int n);

    // Base + "?" + "name=value" pairs joined by "&"; empty when there are no pairs.
    // In values blanks and "+" become "_"; characters that would break the query
    // string (&, #, %, =, controls, non-ASCII) are percent-encoded as UTF-8.
    CString BuildUrl() const;

    // Machine facts, one pair each.
    void AddWinVer();                            // "winver": the one-line OS description
    void AddDomain();                            // "domain": [DNS domain]
    void AddCountry();                           // "country": [user's country name]
    bool AddProgramVersion(const wchar_t* name); // the own product version; false (no pair) when unreadable
    void AddLanguages();                         // "languages": keyboard languages joined by "+"
    void AddRam();                               // "RAM": total page-file size, e.g. 2.00GB
    void AddScreen();                            // "screen": [width x height of the primary screen]

    const CString& GetBaseUrl() const { return m_baseUrl; }
    const std::vector<CStringPair>& GetParams() const { return m_params; }

    // The query-string form of one name or value: blanks and "+" as "_", the
    // breaking characters percent-encoded.
    static CString EncodeQueryText(const CString& text);

private:
    CString m_baseUrl;
    std::vector<CStringPair> m_params;
};
