#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/PathFunctions.h"
#include "support/TempFolder.h"

namespace
{

struct SplitCase
{
    const wchar_t* path;
    const wchar_t* drive;
    const wchar_t* directory;
    const wchar_t* name;
    const wchar_t* extension;
};

TEST(PathFunctions, SplitsPathsLikeTheRuntime)
{
    const SplitCase cases[] = {
        {L"C:\\dir\\sub\\file.txt", L"C:", L"\\dir\\sub\\", L"file", L".txt"},
        {L"C:\\file", L"C:", L"\\", L"file", L""},
        {L"C:file.tar.gz", L"C:", L"", L"file.tar", L".gz"},
        {L"\\\\server\\share\\a.b", L"", L"\\\\server\\share\\", L"a", L".b"},
        {L"dir.x/name", L"", L"dir.x/", L"name", L""},
        {L"C:\\dir\\", L"C:", L"\\dir\\", L"", L""},
        {L".hidden", L"", L"", L"", L".hidden"},
        {L"", L"", L"", L"", L""},
    };
    for (const SplitCase& c : cases) {
        CString drive, directory, name, extension;
        SplitPath(c.path, &drive, &directory, &name, &extension);
        EXPECT_STREQ(drive, c.drive) << c.path;
        EXPECT_STREQ(directory, c.directory) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(extension, c.extension) << c.path;
        EXPECT_STREQ(GetFileExtension(c.path), c.extension) << c.path;
        EXPECT_STREQ(GetFileNameFromPath(c.path), CString(c.name) + c.extension) << c.path;
    }
    // Out strings are optional.
    CString onlyName;
    SplitPath(L"C:\\a\\b.c", nullptr, nullptr, &onlyName, nullptr);
    EXPECT_STREQ(onlyName, L"b");
}

TEST(PathFunctions, FolderFromPathWithAndWithoutSlash)
{
    struct Case
    {
        const wchar_t* path;
        const wchar_t* withSlash;
        const wchar_t* withoutSlash;
    };
    const Case cases[] = {
        {L"C:\\dir\\sub\\file.txt", L"C:\\dir\\sub\\", L"C:\\dir\\sub"},
        {L"C:\\file.txt", L"C:\\", L"C:\\"},
        {L"C:file.txt", L"C:\\", L"C:\\"},
        {L"file.txt", L"", L""},
        {L"\\file.txt", L"\\", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetFolderFromPath(c.path, false), c.withSlash) << c.path;
        EXPECT_STREQ(GetFolderFromPath(c.path, true), c.withoutSlash) << c.path;
    }
    EXPECT_STREQ(GetFolderFromPath(nullptr, true), L"");
}

TEST(PathFunctions, TrailingBackslashes)
{
    EXPECT_STREQ(AddTrailingBackslash(L"C:\\a"), L"C:\\a\\");
    EXPECT_STREQ(AddTrailingBackslash(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_STREQ(AddTrailingBackslash(L""), L"");
    EXPECT_STREQ(RemoveTrailingBackslashes(L"C:\\a\\\\"), L"C:\\a");
    EXPECT_STREQ(RemoveTrailingBackslashes(L"C:\\a"), L"C:\\a");
    // A program in the root folder of a drive: its folder without the slash is the drive alone.
    EXPECT_STREQ(RemoveTrailingBackslashes(L"C:\\"), L"C:");
}

TEST(PathFunctions, ProgramFolderIsTheRunningExecutablesFolder)
{
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    EXPECT_STREQ(GetModuleFilePath(), self);

    const CString folder = GetProgramFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_EQ(folder[folder.GetLength() - 1], L'\\');
    EXPECT_STREQ(folder + GetFileNameFromPath(self), self);
    EXPECT_STREQ(GetProgramFolderNoSlash() + L"\\", folder);
    EXPECT_STREQ(GetProgramFolderEx(true), folder);
    EXPECT_STREQ(GetProgramFolderEx(false), GetProgramFolderNoSlash());
}

TEST(PathFunctions, DriveRootsAndDriveKinds)
{
    EXPECT_STREQ(GetDriveRootOfPath(L"C:\\a\\b.txt"), L"C:\\");
    EXPECT_STREQ(GetDriveRootOfPath(L"z:b.txt"), L"z:\\");
    EXPECT_STREQ(GetDriveRootOfPath(L"\\\\server\\share\\a"), L"\\");
    EXPECT_STREQ(GetDriveRootOfPath(L"relative.txt"), L"\\");

    struct Case
    {
        UINT type;
        bool removableOrNetwork;
    };
    const Case cases[] = {
        {DRIVE_UNKNOWN, true}, {DRIVE_NO_ROOT_DIR, true}, {DRIVE_REMOVABLE, true}, {DRIVE_REMOTE, true},
        {DRIVE_FIXED, false},  {DRIVE_CDROM, false},      {DRIVE_RAMDISK, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRemovableOrNetworkDriveType(c.type), c.removableOrNetwork) << c.type;

    // The system drive is a fixed disk.
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    EXPECT_FALSE(IsRemovableOrNetworkDrive(windows));
}

TEST(PathFunctions, ExistenceTests)
{
    scvtest::TempFolder temp;
    const std::wstring file = temp.WriteBytes(L"sub\\a.txt", "x");
    const std::wstring sub = temp.PathOf(L"sub");
    ASSERT_FALSE(file.empty());

    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(FileExists(sub.c_str()));
    EXPECT_FALSE(FileExists(temp.PathOf(L"missing.txt").c_str()));
    EXPECT_FALSE(FileExists(temp.PathOf(L"nofolder\\missing.txt").c_str()));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(FileExists(nullptr));

    EXPECT_TRUE(FolderExists(sub.c_str()));
    EXPECT_TRUE(FolderExists((sub + L"\\").c_str()));
    EXPECT_FALSE(FolderExists(file.c_str()));
    EXPECT_FALSE(FolderExists(temp.PathOf(L"missing").c_str()));
    EXPECT_FALSE(FolderExists(L""));

    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    EXPECT_TRUE(FolderExists(GetDriveRootOfPath(windows)));
}

TEST(PathFunctions, TempFileNamesHaveTheirShapeAndAreReserved)
{
    scvtest::TempFolder temp;
    const CString folder = temp.Path().c_str();

    for (const wchar_t* extension : {L"txt", L".txt"}) {
        const CString path = MakeTempFilePathIn(folder, extension);
        ASSERT_FALSE(path.IsEmpty()) << extension;
        EXPECT_STREQ(GetFolderFromPath(path, true), folder);
        const CString name = GetFileNameFromPath(path);
        // The system keeps three characters of the prefix and adds up to four
        // hex digits: "abcXXXX.TMP.txt".
        EXPECT_STREQ(name.Left(3), L"abc");
        EXPECT_EQ(name.Right(8).CompareNoCase(L".TMP.txt"), 0) << name.GetString();
        const CString digits = name.Mid(3, name.GetLength() - 11);
        EXPECT_GE(digits.GetLength(), 1) << name.GetString();
        EXPECT_LE(digits.GetLength(), 4) << name.GetString();
        EXPECT_EQ(digits.SpanIncluding(L"0123456789abcdefABCDEF"), digits) << name.GetString();
        EXPECT_TRUE(FileExists(path)) << "the name is reserved by an empty file";
    }
    // Without an extension no dot is added.
    const CString plain = MakeTempFilePathIn(folder, nullptr);
    EXPECT_EQ(plain.Right(4).CompareNoCase(L".TMP"), 0) << plain.GetString();

    // Many names in the same few milliseconds are all different, and none of
    // them was taken before.
    std::set<std::wstring> names;
    for (int i = 0; i < 40; ++i) {
        const CString path = MakeTempFilePathIn(folder, L"dat");
        ASSERT_FALSE(path.IsEmpty());
        EXPECT_TRUE(names.insert(path.GetString()).second) << path.GetString();
    }
    // A folder that does not exist gives no name.
    EXPECT_TRUE(MakeTempFilePathIn(temp.PathOf(L"missing").c_str(), L"txt").IsEmpty());
}

TEST(PathFunctions, TempFileNameNeverOverwritesALiveFile)
{
    scvtest::TempFolder temp;
    const CString folder = temp.Path().c_str();
    // Occupy every name of the next stretch of tick counts with live content.
    const UINT start = GetTickCount();
    for (UINT i = 0; i < 300; ++i) {
        wchar_t name[MAX_PATH] = {};
        UINT unique = (start + i) & 0xFFFF;
        ASSERT_NE(GetTempFileNameW(folder, L"abcd", unique ? unique : 1, name), 0u);
        ASSERT_FALSE(temp.WriteBytes(std::wstring(name) + L".log", "live").empty());
    }
    const CString path = MakeTempFilePathIn(folder, L"log");
    ASSERT_FALSE(path.IsEmpty());
    const auto content = temp.ReadBytes(path.GetString());
    ASSERT_TRUE(content.has_value());
    EXPECT_TRUE(content->empty()) << "returned a live file";
}

TEST(PathFunctions, IntToString)
{
    EXPECT_STREQ(IntToString(0), L"0");
    EXPECT_STREQ(IntToString(-42), L"-42");
    EXPECT_STREQ(IntToString(2147483647), L"2147483647");
}

} // namespace
