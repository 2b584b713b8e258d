#include "online/SystemReport.h"

void CSystemReport::AddRow(const CString& name, const CString& value, int kind)
{
    ReportRow row{name, value, kind};
    if (kind == ReportRowHeader) {
        row.name = L" " + name + L" ";
    } else if (value != L" " && !name.IsEmpty() && name[name.GetLength() - 1] != L':') {
        row.name += L":";
    }
    m_rows.push_back(row);
}

void CSystemReport::AddHeader(const CString& name)
{
    AddRow(name, CString(), ReportRowHeader);
}

void CSystemReport::AddCheck(const CString& name, bool ok, const CString& okText, const CString& failText)
{
    AddRow(name, ok ? okText : failText, ok ? ReportRowSuccess : ReportRowFailure);
}

std::vector<int> CSystemReport::HeaderRows() const
{
    std::vector<int> headers;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].kind == ReportRowHeader)
            headers.push_back(static_cast<int>(i));
    }
    return headers;
}

CString CSystemReport::GetText() const
{
    CString text;
    for (const ReportRow& row : m_rows) {
        if (row.kind == ReportRowHeader)
            text += L"\r\n";
        if (row.name.IsEmpty())
            text += L"======================";
        else
            text += row.name + L" " + row.value;
        text += L"\r\n";
    }
    text.Trim(L"\r\n");
    return text;
}
