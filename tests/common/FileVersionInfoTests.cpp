// test-sources: FileVersionFixture.rc
#include "common/FileVersionInfo.h"
#include "common/UrlQueryParams.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(FileVersionInfo, ReadsTheOwnVersionResource)
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    ASSERT_TRUE(info.Read());

    EXPECT_EQ(info.GetLanguage(), 0x409);
    EXPECT_EQ(info.GetCodePage(), 1200);
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldCompanyName)), L"Fixture Company");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldLegalCopyright)), L"(c) fixture");
    EXPECT_EQ(Text(info.GetFileDescription()), L"Version fixture");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldFileVersion)), L"5.1.2.345");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldFileVersionMajor)), L"5");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldFileVersionMinor)), L"1");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldInternalName)), L"fixture");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldOriginalFilename)), L"fixture.exe");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldProductName)), L"Fixture Product");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldFileVersionNumbers)), L"5.1.2.345");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldOsText)), L"Win32 API on Windows NT");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldFileTypeText)), L"Application");
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldSpecialBuild)), L"");
    EXPECT_EQ(Text(info.GetField(1)), L"");
    EXPECT_EQ(Text(info.GetField(0)), L"");
    EXPECT_EQ(Text(info.GetField(18)), L"");
    EXPECT_EQ(info.GetFixedInfo().dwFileVersionLS, MAKELONG(345, 2));
}

TEST(FileVersionInfo, NormalisesTheProductVersionAndSplitsItAtTheLastDot)
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    ASSERT_TRUE(info.Read());
    // Written as "5, 1 ,2, 345" in the resource.
    EXPECT_EQ(Text(info.GetField(CFileVersionInfo::FieldProductVersion)), L"5, 1 ,2, 345");
    EXPECT_EQ(Text(info.GetProductVersion()), L"5.1.2.345");
    EXPECT_EQ(Text(info.GetProductVersionHead()), L"5.1.2");
    EXPECT_EQ(Text(info.GetProductVersionTail()), L"345");
}

TEST(FileVersionInfo, AFileWithoutAVersionResourceReadsNothing)
{
    scvtest::TempFolder folder;
    const std::wstring plain = folder.WriteBytes(L"plain.txt", "no version here");
    for (const std::wstring& path : {plain, folder.PathOf(L"missing.dll")}) {
        CFileVersionInfo info(path.c_str());
        EXPECT_FALSE(info.Read());
        for (int field = 1; field <= CFileVersionInfo::FieldCount; ++field)
            EXPECT_TRUE(info.GetField(field).IsEmpty()) << field;
        EXPECT_TRUE(info.GetProductVersion().IsEmpty());
        EXPECT_TRUE(info.GetProductVersionHead().IsEmpty());
        EXPECT_EQ(info.GetLanguage(), 0);
    }
}

TEST(FileVersionInfo, NamesFileTypesAndSystems)
{
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_DRV, VFT2_DRV_SOUND)), L"Sound driver");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_DRV, 10)), L"");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_FONT, VFT2_FONT_TRUETYPE)), L"Truetype font");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_FONT, 4)), L"");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_DLL, 0)), L"Dynamic link library");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(VFT_STATIC_LIB, 0)), L"Static link library");
    EXPECT_EQ(Text(CFileVersionInfo::FileTypeText(6, 0)), L"");
    EXPECT_EQ(Text(CFileVersionInfo::FileOsText(VOS_DOS_WINDOWS16)), L"16-bit windows running on MS-DOS");
    EXPECT_EQ(Text(CFileVersionInfo::FileOsText(VOS_OS216_PM16)),
              L"16-bit Presentation manager running on 16-bit OS/2");
    EXPECT_EQ(Text(CFileVersionInfo::FileOsText(VOS_NT)), L"Windows NT");
    EXPECT_EQ(Text(CFileVersionInfo::FileOsText(0x50000)), L"");
}

TEST(FileVersionInfo, TheUpdateQueryCarriesTheNormalisedProductVersion)
{
    CUrlQueryParams query(L"http://updates.example/check.php");
    ASSERT_TRUE(query.AddProgramVersion(L"scv_version"));
    EXPECT_EQ(Text(query.BuildUrl()), L"http://updates.example/check.php?scv_version=5.1.2.345");
}
