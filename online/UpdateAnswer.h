#pragma once

// The answer of the update-check endpoint: a small UTF-8 XML document
//
//   <ScrivolanterVersionInfo>
//       <Version>5.2.0.100</Version>              (required; "Version_Test" in test mode)
//       <Status>text</Status>                     (optional)
//       <DownloadURL>http://...</DownloadURL>     (optional)
//       <DownloadURL_PE>http://...</DownloadURL_PE>
//       <WhatNewsURL>http://...</WhatNewsURL>
//   </ScrivolanterVersionInfo>
//
// Reading it fills a CUpdateInfo: the offered version compared with the own
// one, the status, the addresses, and the size and date of the downloads
// from their header queries. The answer comes from the network and is never
// trusted: its size and nesting are bounded before parsing, and addresses
// are kept only when they are absolute http or https addresses.

#include <string>

#include "online/InternetSession.h"
#include "online/UpdateInfo.h"
#include "platform/CString.h"

class TiXmlDocument;

// Results of reading an answer.
enum UpdateAnswerResult : int
{
    kUpdateNewerVersion = 0,
    kUpdateNoNewerVersion = 1,
    kUpdateAnswerUnreadable = 2,
};

// What an answer holds, as read from the document (no network involved).
struct VersionAnswer
{
    CString version;
    CString status;
    CString downloadUrl;         // empty unless a web address
    CString portableDownloadUrl; // empty unless a web address
    CString whatsNewUrl;         // empty unless a web address
};

// Reads the root "ScrivolanterVersionInfo" and its children; the version
// from "Version", or "Version_Test" in test mode. False when the root, the
// version element or its text is missing. Element texts are UTF-8.
bool ReadVersionAnswer(const TiXmlDocument& document, bool testMode, VersionAnswer& answer);
// ReadVersionAnswer of a document text; false also for a text that is not
// XML, is larger than the download bound or nests deeper than the readers
// accept.
bool ReadVersionAnswerText(const std::string& text, bool testMode, VersionAnswer& answer);

// Fills `info` from a read answer: status and addresses; the header query of
// the download address (agent "Scrivolanter_Update") gives the download size
// and the release date and time; that of the portable address its size
// (-1 when it fails). Then compares the offered version with the own one:
// kUpdateNewerVersion with the version text in `info.newVersion`, else
// kUpdateNoNewerVersion with it empty.
int ApplyVersionAnswer(const VersionAnswer& answer, CUpdateInfo& info,
                       const DownloadLimits& limits = DownloadLimits());

// ReadVersionAnswer (test mode when the update test marker file is present)
// and ApplyVersionAnswer; kUpdateAnswerUnreadable when the answer cannot be read.
int ParseVersionInfoXml(const TiXmlDocument& document, CUpdateInfo& info);
// The same for an answer file; kUpdateAnswerUnreadable when the file is
// empty, unreadable, larger than the download bound, or not a readable answer.
int ParseVersionInfoFile(const CString& path, CUpdateInfo& info);
