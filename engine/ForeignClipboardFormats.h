#pragma once

// What the clipboard history keeps beside the data: the meta information that
// the notes program puts on the clipboard with its clips ("Ovelline Clipboard
// Meta Info", UTF-8 XML), and the page address a copy came from ("SourceURL:"
// of "HTML Format", or a copied text that is itself an address or a path).
//
// Clipboard blocks of other programs are untrusted: they are read only within
// GlobalSize of their block, and a block that cannot be locked is empty.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/CString.h"

// Registered once and cached.
UINT GetOvlMetaInfoClipboardFormat(); // "Ovelline Clipboard Meta Info"
UINT GetOvellineClipboardFormat();    // "Ovelline Format"

// The bytes of a clipboard block up to its first NUL (or its GlobalSize); false
// for a null block or one that cannot be locked.
bool ReadGlobalBlockText(HANDLE block, std::string& text);
// All GlobalSize bytes of a block; false for a null, empty or unlockable block.
bool ReadGlobalBlockBytes(HANDLE block, std::string& bytes);

class COvlMetaInfo
{
public:
    COvlMetaInfo();

    // False for an empty text, unparsable XML or a missing "OVL_DATA" root.
    bool Parse(const char* xml);

    int GetPid() const { return m_pid; }
    int GetDocId() const { return m_docId; }
    const SYSTEMTIME& GetDate() const { return m_date; }
    const CString& GetDocPathTitle() const { return m_docPathTitle; }
    // The file name part of the document path (the text itself without a backslash).
    CString GetDocFileName() const;
    int GetSize() const { return m_size; }
    int GetNodeCount() const { return static_cast<int>(m_nodes.size()); }
    // Empty out of range.
    CString GetNode(int index) const;

private:
    int m_pid = 0;
    int m_docId = -1;
    CString m_docPathTitle;
    int m_size = 0;
    SYSTEMTIME m_date = {};
    std::vector<CString> m_nodes;
};

// Mode 0 short, 1 long (for tooltips: "Copied From", node count, size), 2 for a
// history item.
CString DescribeOvlMetaInfo(const COvlMetaInfo& info, int mode);
CString DescribeOvlMetaInfoShort(const COvlMetaInfo& info);
CString DescribeOvlMetaInfoLong(const COvlMetaInfo& info);
CString DescribeOvlMetaInfoForItem(const COvlMetaInfo& info);

bool IsOvlMetaInfoAvailable();
// The meta-info XML on the clipboard; with `openClipboard` the clipboard is
// opened and closed here, else the caller holds it open.
bool ReadOvlMetaInfo(bool openClipboard, std::string& xml);

// The text after "SourceURL:" up to the next line break of an "HTML Format"
// header; empty without one.
CString GetUrlFromHtmlBytes(const std::string& html);
// On an open clipboard: the source address of its "HTML Format"; empty when none.
CString GetHtmlSourceUrl();
// The address a copied text is: an http(s) address at its start, or a full
// local path on its first line or as its first word; empty otherwise.
CString GetUrlFromText(const CString& text);
CString GetUrlFromAnsiText(const char* bytes);
