#include "online/UpdatePage.h"

#include "common/ByteSizeText.h"
#include "common/LocalizedString.h"
#include "common/MarkerFiles.h"
#include "common/Settings.h"
#include "common/SystemInfo.h"
#include "common/DateTimeTexts.h"
#include "online/CSCVUrl.h"
#include "online/HtmlTexts.h"
#include "online/NewsFeed.h"
#include "online/UpdateCheckThreads.h"

namespace
{
const wchar_t kBullet[] = L"&nbsp;&bull;&nbsp;";

CString Str(UINT id, const wchar_t* english)
{
    return EscapeHtmlText(LoadLocalizedTextOr(id, english));
}

CString Format(const wchar_t* format, int a, int b = 0, int c = 0)
{
    wchar_t text[64] = {};
    _snwprintf_s(text, _countof(text), _TRUNCATE, format, a, b, c);
    return text;
}

// A link when the address may be opened, else the text alone.
CString Link(const CString& address, const CString& text, const CString& title = CString())
{
    const CString href = CheckedLinkAttribute(address);
    if (href.IsEmpty())
        return text;
    CString link = L"<A HREF=\"" + href + L"\"";
    if (!title.IsEmpty())
        link += L" TITLE=\"" + title + L"\"";
    return link + L">" + text + L"</A>";
}

CString Image(const CString& address)
{
    const CString src = CheckedLinkAttribute(address);
    if (src.IsEmpty())
        return CString();
    return L"<IMG SRC=\"" + src + L"\" BORDER=0 ALT='' HSPACE=5 HEIGHT=24 WIDTH=24>";
}

CString SizeText(int size)
{
    return size > 0 ? EscapeHtmlText(FormatByteSizeText(size)) : CString(L"?");
}

CString StyleBlock()
{
    return L"<style>\n"
           L"body { font-family: \"Trebuchet MS\"; font-size: 11px; margin: 5px; }\n"
           L"#div_hor { flow: horizontal; }\n"
           L"h1 { color: green; }\n"
           L"#settings { background-color: whitesmoke; color: darkblue; }\n"
           L"</style>\n" +
           NewsStyleBlock();
}

CString BodyOpening(const UpdatePageContext& context)
{
    wchar_t color[16] = {};
    _snwprintf_s(color, _countof(color), _TRUNCATE, L"#%.2X%.2X%.2X", GetRValue(context.windowColor),
                 GetGValue(context.windowColor), GetBValue(context.windowColor));
    CString body = L"<BODY BGCOLOR=%BGCOLOR% LEFTMARGIN=%MARGINVALUE% RIGHTMARGIN=%MARGINVALUE% "
                   L"TOPMARGIN=%MARGINVALUE% BOTTOMMARGIN=%MARGINVALUE%>\n<TABLE BGCOLOR=%BGCOLOR% "
                   L"WIDTH=100%><TR><TD>\n";
    body.Replace(L"%BGCOLOR%", color);
    body.Replace(L"%MARGINVALUE%", L"5");
    return body;
}

CString NewVersionBlock(const CUpdateInfo& info, const UpdatePageContext& context)
{
    CString html = Image(context.updateImageUrl);
    html += L"<STRONG><FONT COLOR=green SIZE=+1>";
    html += Link(CSCVUrl::HomePageUrl(),
                 Str(149, L"Has new version on official web site") + L" Scrivolanter " +
                     EscapeHtmlText(FormatVersionForPage(info.offeredVersion)),
                 Str(32781, L"Official Web Site"));
    html += L"</FONT></STRONG><BR>\n";
    if (context.testMode)
        html += L"<FONT COLOR=red>Has [UpdateVersion_Test.UpdateVersion_Test]</FONT><BR>\n";
    html +=
        Str(175, L"This version released") + L": <STRONG>" + EscapeHtmlText(info.releaseDate) + L"</STRONG>";
    html += kBullet + Link(info.downloadUrl, Str(242, L"Download version with installer") + L" [" +
                                                 SizeText(info.downloadSize) + L"]");
    html += kBullet + Link(info.portableDownloadUrl, Str(243, L"Download portable version") + L" [" +
                                                         SizeText(info.portableDownloadSize) + L"]");
    html += kBullet + Link(CSCVUrl::VersionHistoryUrl(), Str(169, L"What`s news in this version"));
    html += L"&nbsp;<STRONG>|</STRONG>&nbsp;<A HREF=\"#" + CString(kLatestNewsAnchor) + L"\">" +
            Str(248, L"Latest News") + L"</A>";
    html += kBullet +
            Link(CSCVUrl::PortableFaqUrl(), Str(266, L"Also You can use portable version of Scrivolanter"));
    html += L"<BR>\n<FONT COLOR=green><B>" + Str(255, L"This update is FREE for You") + L"</B></FONT><BR>\n";
    return html;
}

CString VersionLine(const CString& label, const CString& value, bool current)
{
    const CString line = label + L": <STRONG>" + value + L"</STRONG>";
    return (current ? L"<FONT COLOR=green>" + line + L"</FONT>" : line) + L"<BR>\n";
}

CString NoUpdateBlock(const CUpdateInfo& info, const UpdatePageContext& context)
{
    const CString own = EscapeHtmlText(FormatVersionForPage(info.ownVersion));
    CString html = Image(context.noUpdateImageUrl);
    html += Str(311, L"Updates not found") + L". ";
    html +=
        Link(CSCVUrl::HomePageUrl(), Str(150, L"You use the latest version of Scrivolanter") + L" " + own);
    html += L"<BR>\n";
    const bool ownCurrent = !CompareVersionNumbers(info.offeredVersion, info.ownVersion);
    html += VersionLine(Str(157, L"Your version of Scrivolanter"),
                        own + L" (" + EscapeHtmlText(context.buildStamp) + L")", ownCurrent);
    html += VersionLine(Str(158, L"Scrivolanter version on Web Site"),
                        EscapeHtmlText(FormatVersionForPage(info.offeredVersion)), !ownCurrent);
    html += VersionLine(Str(175, L"This version released"), EscapeHtmlText(info.releaseDate), false);
    html += Link(CSCVUrl::PortableFaqUrl(), Str(266, L"Also You can use portable version of Scrivolanter"));
    return html + L"<BR>\n";
}

// A check that failed says so instead of claiming the latest version; one
// that could not reach the web site says so in plain words and offers to try again.
CString ErrorBlock(const CUpdateInfo& info, const UpdatePageContext& context)
{
    CString html;
    if (info.error == kUpdateDownloadErrorText)
        html =
            L"<FONT COLOR=red><B>" +
            EscapeHtmlText(L"Scrivolanter could not reach its web site. Please check the connection to the "
                           L"Internet.") +
            L"</B></FONT> <A HREF=\"" + CString(kCheckAgainLink) + L"\">" + EscapeHtmlText(L"Try again") +
            L"</A><BR>\n";
    else
        html = L"<FONT COLOR=red><B>" + EscapeHtmlText(info.error) + L"</B></FONT><BR>\n";
    html += VersionLine(Str(157, L"Your version of Scrivolanter"),
                        EscapeHtmlText(FormatVersionForPage(info.ownVersion)) + L" (" +
                            EscapeHtmlText(context.buildStamp) + L")",
                        false);
    return html;
}

CString CommunityRow(const UpdatePageContext& context)
{
    struct Community
    {
        CString address;
        CString text;
        const CString& image;
    } links[] = {
        {CSCVUrl::ForumPageUrl(), Str(245, L"Official Forum"), context.communityImageUrls[0]},
        {CSCVUrl::FacebookPageUrl(), L"Facebook", context.communityImageUrls[1]},
        {CSCVUrl::TelegramChannelUrl(),
         context.russian ? L"\x0422\x0435\x043B\x0435\x0433\x0440\x0430\x043C" : L"Telegram",
         context.communityImageUrls[2]},
        {CSCVUrl::VkPageUrl(),
         context.russian ? L"\x0412\x041A\x043E\x043D\x0442\x0430\x043A\x0442\x0435" : L"VKontakte",
         context.communityImageUrls[3]},
    };
    CString cells;
    for (const Community& link : links) {
        if (IsOpenableLink(link.address))
            cells += L"<TD>" + Link(link.address, Image(link.image) + link.text) + L"</TD>";
    }
    return cells.IsEmpty() ? CString() : L"<TABLE ALIGN=CENTER><TR>" + cells + L"</TR></TABLE>\n";
}

CString SettingsBlock(const UpdatePageContext& context)
{
    CString html = L"<TABLE BORDER=0 WIDTH=100%><TR><TD ID=settings>\n<H2 ALIGN=RIGHT>" +
                   Str(32779, L"Settings") + L"</H2>\n";
    html += L"<WIDGET TYPE=checkbox ID=" + CString(kAutoCheckElementId) +
            (context.autoCheck ? L" CHECKED" : L"") + L" TITLE=\"" +
            Str(247, L"Checks for updates run silently: you are told only when a new version is found") +
            L"\">" + Str(153, L"Check for updates automatically") + L"</WIDGET>\n";
    // The days text and its number side by side, centred on one line (a struck-through
    // text must not reach into the heading below).
    html += L"<DIV ID=div_hor><TABLE BORDER=0><TR><TD VALIGN=MIDDLE><SPAN ID=" + CString(kDaysTextElementId) +
            L">" + Str(154, L"Check every days") + L"</SPAN></TD><TD VALIGN=MIDDLE><INPUT TYPE=number ID=" +
            CString(kDaysNumberElementId) +
            Format(L" STEP=1 MINVALUE=1 MAXVALUE=30 SIZE=3 VALUE=%d>", context.days) +
            L"</TD></TR></TABLE></DIV>\n";
    return html + L"</TD></TR></TABLE><BR>\n";
}
} // namespace

CString FormatVersionForPage(const CVersionNumbers& version)
{
    const std::vector<int>& parts = version.parts;
    if (parts.empty())
        return LoadLocalizedTextOr(159, L"Unavailable");
    if (parts.size() == 4)
        return Format(L"%d.%d%d", parts[0], parts[1], parts[2]) + Format(L" build %d", parts[3]);
    return version.ToText();
}

CString BuildUpdatePageHtml(const CUpdateInfo& info, const UpdatePageContext& context)
{
    CString body = BodyOpening(context);
    if (!info.newVersion.IsEmpty())
        body += NewVersionBlock(info, context);
    else if (!info.error.IsEmpty())
        body += ErrorBlock(info, context);
    else
        body += NoUpdateBlock(info, context);
    body += CommunityRow(context);
    body += L"<SPAN ID=hint>" + Str(152, L"Last Check For Updates") + L": " +
            EscapeHtmlText(context.lastCheckText) + L"</SPAN>\n";
    body += SettingsBlock(context);
    body += L"<A NAME=\"" + CString(kLatestNewsAnchor) + L"\"></A><H1 ID=" + CString(kLatestNewsHeadingId) +
            L">" + Str(248, L"Latest News") + L"</H1>\n";
    body += BuildNewsBlock(info.news);
    body += L"\n</table></BODY>";
    return L"<html><head>" + StyleBlock() +
           L"<BASE TARGET=_blank><meta http-equiv=\"Content-Type\" content=\"text/html; "
           L"charset=utf-8\"></head>" +
           body + L"</html>";
}

UpdatePageContext CurrentUpdatePageContext()
{
    UpdatePageContext context;
    context.windowColor = ::GetSysColor(COLOR_WINDOW);
    context.buildStamp = GetBuildStamp();
    CSettings& settings = GetSettings();
    SYSTEMTIME last{};
    context.lastCheckText =
        settings.GetLastCheckForUpdatesLocal(last) ? DateTimeToText(last) : CString(L"never");
    context.autoCheck = settings.AutoCheckForUpdates != 0;
    context.days = settings.GetDaysCheckForUpdates();
    context.testMode = IsUpdateTestMarkerPresent();
    context.russian = CSCVUrl::UseRussianUrls() != 0;
    context.updateImageUrl = CSCVUrl::SiteUrl(L"/img/update_available.png");
    context.noUpdateImageUrl = CSCVUrl::SiteUrl(L"/img/update_none.png");
    const wchar_t* const communityImages[] = {L"/img/community_forum.png", L"/img/community_facebook.png",
                                              L"/img/community_telegram.png",
                                              L"/img/community_vkontakte.png"};
    for (size_t i = 0; i < _countof(communityImages); ++i)
        context.communityImageUrls[i] = CSCVUrl::SiteUrl(communityImages[i]);
    return context;
}
