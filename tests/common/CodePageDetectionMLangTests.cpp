// The code-page detector's use of the system's MLang service, through a fake
// MLang object registered for this process (Wine's own refuses detection).
#include "common/CodePageDetection.h"

#include <mlang.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const CLSID kClsidMultiLanguage = {
    0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
const IID kIidMultiLanguage2 = {0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

// Answers DetectInputCodepage with the candidates it is given and records the input.
class FakeMultiLanguage : public IMultiLanguage2
{
public:
    std::vector<DetectEncodingInfo> answer;
    HRESULT result = S_OK;
    std::string seen;

    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == kIidMultiLanguage2) {
            *out = static_cast<IMultiLanguage2*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI DetectInputCodepage(DWORD, DWORD, CHAR* bytes, INT* size, DetectEncodingInfo* found,
                                       INT* count) override
    {
        seen.assign(bytes, static_cast<size_t>(*size));
        const INT given = static_cast<INT>(answer.size()) < *count ? static_cast<INT>(answer.size()) : *count;
        for (INT i = 0; i < given; ++i)
            found[i] = answer[i];
        *count = given;
        return result;
    }

    HRESULT WINAPI GetNumberOfCodePageInfo(UINT* pcCodePage) override { return E_NOTIMPL; }
    HRESULT WINAPI GetCodePageInfo(UINT uiCodePage, LANGID LangId, PMIMECPINFO pCodePageInfo) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI GetFamilyCodePage(UINT uiCodePage, UINT* puiFamilyCodePage) override { return E_NOTIMPL; }
    HRESULT WINAPI EnumCodePages(DWORD grfFlags, LANGID LangId, IEnumCodePage** ppEnumCodePage) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI GetCharsetInfo(BSTR Charset, PMIMECSETINFO pCharsetInfo) override { return E_NOTIMPL; }
    HRESULT WINAPI IsConvertible(DWORD dwSrcEncoding, DWORD dwDstEncoding) override { return E_NOTIMPL; }
    HRESULT WINAPI ConvertString(DWORD* pdwMode, DWORD dwSrcEncoding, DWORD dwDstEncoding, BYTE* pSrcStr,
                                 UINT* pcSrcSize, BYTE* pDstStr, UINT* pcDstSize) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringToUnicode(DWORD* pdwMode, DWORD dwEncoding, CHAR* pSrcStr, UINT* pcSrcSize,
                                          WCHAR* pDstStr, UINT* pcDstSize) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringFromUnicode(DWORD* pdwMode, DWORD dwEncoding, WCHAR* pSrcStr, UINT* pcSrcSize,
                                            CHAR* pDstStr, UINT* pcDstSize) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringReset(void) override { return E_NOTIMPL; }
    HRESULT WINAPI GetRfc1766FromLcid(LCID Locale, BSTR* pbstrRfc1766) override { return E_NOTIMPL; }
    HRESULT WINAPI GetLcidFromRfc1766(LCID* pLocale, BSTR bstrRfc1766) override { return E_NOTIMPL; }
    HRESULT WINAPI EnumRfc1766(LANGID LangId, IEnumRfc1766** ppEnumRfc1766) override { return E_NOTIMPL; }
    HRESULT WINAPI GetRfc1766Info(LCID Locale, LANGID LangId, PRFC1766INFO pRfc1766Info) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI CreateConvertCharset(UINT uiSrcCodePage, UINT uiDstCodePage, DWORD dwProperty,
                                        IMLangConvertCharset** ppMLangConvertCharset) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringInIStream(DWORD* pdwMode, DWORD dwFlag, WCHAR* lpFallBack,
                                          DWORD dwSrcEncoding, DWORD dwDstEncoding, IStream* pstmIn,
                                          IStream* pstmOut) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringToUnicodeEx(DWORD* pdwMode, DWORD dwEncoding, CHAR* pSrcStr, UINT* pcSrcSize,
                                            WCHAR* pDstStr, UINT* pcDstSize, DWORD dwFlag,
                                            WCHAR* lpFallBack) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ConvertStringFromUnicodeEx(DWORD* pdwMode, DWORD dwEncoding, WCHAR* pSrcStr,
                                              UINT* pcSrcSize, CHAR* pDstStr, UINT* pcDstSize, DWORD dwFlag,
                                              WCHAR* lpFallBack) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DetectCodepageInIStream(DWORD dwFlag, DWORD dwPrefWinCodePage, IStream* pstmIn,
                                           DetectEncodingInfo* lpEncoding, INT* pnScores) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ValidateCodePage(UINT uiCodePage, HWND hwnd) override { return E_NOTIMPL; }
    HRESULT WINAPI GetCodePageDescription(UINT uiCodePage, LCID lcid, LPWSTR lpWideCharStr,
                                          int cchWideChar) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI IsCodePageInstallable(UINT uiCodePage) override { return E_NOTIMPL; }
    HRESULT WINAPI SetMimeDBSource(MIMECONTF dwSource) override { return E_NOTIMPL; }
    HRESULT WINAPI GetNumberOfScripts(UINT* pnScripts) override { return E_NOTIMPL; }
    HRESULT WINAPI EnumScripts(DWORD dwFlags, LANGID LangId, IEnumScript** ppEnumScript) override
    {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ValidateCodePageEx(UINT uiCodePage, HWND hwnd, DWORD dwfIODControl) override
    {
        return E_NOTIMPL;
    }
};

class FakeFactory : public IClassFactory
{
public:
    explicit FakeFactory(FakeMultiLanguage& object) : m_object(object) {}
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        return outer ? CLASS_E_NOAGGREGATION : m_object.QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }

private:
    FakeMultiLanguage& m_object;
};

DetectEncodingInfo Candidate(UINT codePage, INT percent, INT confidence)
{
    DetectEncodingInfo info = {};
    info.nCodePage = codePage;
    info.nDocPercent = percent;
    info.nConfidence = confidence;
    return info;
}
} // namespace

TEST(CodePageDetectionMLang, TheBestCandidateOfMLangWinsAndAnEmptyAnswerFallsBack)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    FakeMultiLanguage fake;
    FakeFactory factory(fake);
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(kClsidMultiLanguage, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                      &cookie),
              S_OK);

    const std::string ascii = "plain ascii text";
    struct Case
    {
        const char* label;
        std::vector<DetectEncodingInfo> answer;
        HRESULT result;
        bool found;
        int codePage;
    };
    const Case cases[] = {
        {"score decides", {Candidate(1252, 40, 95), Candidate(1251, 60, 90)}, S_OK, true, 1251},
        {"no percent: confidence", {Candidate(1251, 0, 30), Candidate(65001, 0, 80)}, S_OK, true, 65001},
        {"no usable score", {Candidate(1251, 50, 0)}, S_OK, false, 0},
        {"refused: built-in", {}, E_NOTIMPL, true, 20127},
        {"nothing found: built-in", {}, S_OK, true, 20127},
    };
    for (const Case& c : cases) {
        fake.answer = c.answer;
        fake.result = c.result;
        fake.seen.clear();
        CString name;
        int codePage = 0;
        EXPECT_EQ(DetectCharset(ascii.data(), static_cast<int>(ascii.size()), &name, &codePage), c.found)
            << c.label;
        EXPECT_EQ(fake.seen, ascii) << c.label;
        if (c.found) {
            EXPECT_EQ(codePage, c.codePage) << c.label;
            EXPECT_STREQ(name.GetString(), CString(FindCharsetName(c.codePage)).GetString()) << c.label;
        }
    }

    ::CoRevokeClassObject(cookie);
    ::CoUninitialize();
}
