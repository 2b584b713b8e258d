#include "online/UpdateAnswer.h"

#include "online/DateServices.h"

#include <tinyxml.h>

#include "common/DateTimeTexts.h"
#include "common/FileBytes.h"
#include "common/KernelHandle.h"
#include "common/MarkerFiles.h"
#include "common/RuntimeBinding.h"
#include "common/TextConversion.h"
#include "online/UrlHeaderQuery.h"
#include "common/XmlInputChecks.h"

namespace
{
const char kAnswerRootElement[] = "ScrivolanterVersionInfo";
const char kVersionElement[] = "Version";
const char kTestVersionElement[] = "Version_Test";
const char kStatusElement[] = "Status";
const char kDownloadElement[] = "DownloadURL";
const char kPortableElement[] = "DownloadURL_PE";
const char kWhatsNewElement[] = "WhatNewsURL";
const wchar_t kHeaderQueryAgent[] = L"Scrivolanter_Update";

// The text of a child element as UTF-16; false when the child or its text is missing.
bool ChildText(const TiXmlElement& parent, const char* name, CString& text)
{
    const TiXmlElement* child = parent.FirstChildElement(name);
    if (!child || !child->GetText())
        return false;
    text = Utf8ToWide(child->GetText());
    return true;
}

// The child's text when it is a web address; empty otherwise.
CString ChildWebAddress(const TiXmlElement& parent, const char* name)
{
    CString text;
    if (!ChildText(parent, name, text))
        return CString();
    text.Trim();
    return IsWebAddress(text) ? text : CString();
}

// The Last-Modified text as a local time through InternetTimeToSystemTimeW.
bool InternetTimeToLocal(const CString& text, SYSTEMTIME& local)
{
    using InternetTimeFn = BOOL(WINAPI*)(LPCWSTR, SYSTEMTIME*, DWORD);
    CLoadedModule wininet(L"WinInet.DLL");
    const auto toSystemTime = wininet.Find<InternetTimeFn>("InternetTimeToSystemTimeW");
    SYSTEMTIME utc = {};
    if (!toSystemTime || !toSystemTime(text, &utc, 0))
        return false;
    return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) || SystemTimeToLocalTime(utc, local);
}

void QueryDownload(const CString& url, CUpdateInfo& info, const DownloadLimits& limits)
{
    CUrlHeaderQuery query(url, limits);
    if (!query.Query(kHeaderQueryAgent))
        return;
    info.releaseDate = query.GetLastModifiedText();
    SYSTEMTIME local = {};
    if (query.GetLastModifiedLocal(local) ||
        (!query.GetLastModifiedText().IsEmpty() && InternetTimeToLocal(query.GetLastModifiedText(), local))) {
        info.releaseDate = DateTimeToText(local);
        info.releaseTime = local;
    }
    info.downloadSize = query.GetContentLength();
}

int QueryPortableSize(const CString& url, const DownloadLimits& limits)
{
    CUrlHeaderQuery query(url, limits);
    return query.Query(kHeaderQueryAgent) ? query.GetContentLength() : -1;
}
} // namespace

bool ReadVersionAnswer(const TiXmlDocument& document, bool testMode, VersionAnswer& answer)
{
    const TiXmlElement* root = document.FirstChildElement(kAnswerRootElement);
    if (!root)
        return false;
    const TiXmlElement* versionElement =
        root->FirstChildElement(testMode ? kTestVersionElement : kVersionElement);
    if (!versionElement)
        return false;
    ChildText(*root, kStatusElement, answer.status);
    if (!versionElement->GetText())
        return false;
    answer.version = Utf8ToWide(versionElement->GetText());
    answer.downloadUrl = ChildWebAddress(*root, kDownloadElement);
    answer.portableDownloadUrl = ChildWebAddress(*root, kPortableElement);
    answer.whatsNewUrl = ChildWebAddress(*root, kWhatsNewElement);
    return true;
}

// The answer is a root with a handful of children: deeper nesting is damage.
constexpr int kMaxAnswerNesting = 64;

bool ReadVersionAnswerText(const std::string& text, bool testMode, VersionAnswer& answer)
{
    if (text.empty() || text.size() > DownloadLimits().maxBytes)
        return false;
    if (!IsXmlNestingWithin(text.c_str(), text.size(), kMaxAnswerNesting))
        return false;
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(text.c_str(), guarded), nullptr, TIXML_ENCODING_UTF8);
    return ReadVersionAnswer(document, testMode, answer);
}

int ApplyVersionAnswer(const VersionAnswer& answer, CUpdateInfo& info, const DownloadLimits& limits)
{
    info.status = answer.status;
    info.downloadUrl = answer.downloadUrl;
    if (!info.downloadUrl.IsEmpty())
        QueryDownload(info.downloadUrl, info, limits);
    info.portableDownloadUrl = answer.portableDownloadUrl;
    if (!info.portableDownloadUrl.IsEmpty())
        info.portableDownloadSize = QueryPortableSize(info.portableDownloadUrl, limits);
    info.whatsNewUrl = answer.whatsNewUrl;

    ParseVersionNumbers(answer.version, info.offeredVersion);
    if (CompareVersionNumbers(info.offeredVersion, info.ownVersion)) {
        info.newVersion = answer.version;
        return kUpdateNewerVersion;
    }
    info.newVersion.Empty();
    return kUpdateNoNewerVersion;
}

int ParseVersionInfoXml(const TiXmlDocument& document, CUpdateInfo& info)
{
    VersionAnswer answer;
    const bool read = ReadVersionAnswer(document, IsUpdateTestMarkerPresent(), answer);
    info.status = answer.status;
    if (!read)
        return kUpdateAnswerUnreadable;
    return ApplyVersionAnswer(answer, info);
}

int ParseVersionInfoFile(const CString& path, CUpdateInfo& info)
{
    std::string content;
    if (!ReadFileBytesBounded(path, DownloadLimits().maxBytes, content) || content.empty())
        return kUpdateAnswerUnreadable;
    VersionAnswer answer;
    const bool read = ReadVersionAnswerText(content, IsUpdateTestMarkerPresent(), answer);
    info.status = answer.status;
    if (!read)
        return kUpdateAnswerUnreadable;
    return ApplyVersionAnswer(answer, info);
}
