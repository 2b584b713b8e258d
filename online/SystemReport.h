#pragma once
// The system report of the About dialog: a list of rows (name, value, kind)
// that support staff read, and its text form for the clipboard and the
// support archive.

#include "platform/CString.h"

#include <vector>

enum ReportRowKind : int
{
    ReportRowPlain = 0,
    ReportRowHeader = 1,
    ReportRowFailure = 2,
    ReportRowSuccess = 3,
};

struct ReportRow
{
    CString name;
    CString value;
    int kind = ReportRowPlain;
};

class CSystemReport
{
public:
    // A header's name gets a blank on each side. Other rows get ":" after the
    // name unless the value is a single blank or the name ends with ":".
    void AddRow(const CString& name, const CString& value, int kind = ReportRowPlain);
    void AddHeader(const CString& name);
    // A success row with `okText` or a failure row with `failText`.
    void AddCheck(const CString& name, bool ok, const CString& okText, const CString& failText);

    const std::vector<ReportRow>& Rows() const { return m_rows; }
    // Index of every header row, in order.
    std::vector<int> HeaderRows() const;

    // One line per row, name + " " + value; a row without a name gives
    // "======================"; an empty line before each header; lines
    // joined by "\r\n", line breaks trimmed at both ends.
    CString GetText() const;

private:
    std::vector<ReportRow> m_rows;
};
