// test-locks: sharedlog

#include "app/history/TempFiles.h"

#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/SharedLog.h"

#include "support/ImportPatch.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace
{
std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

// What the code asked of CreateFileW: each file name with the attributes it was created with.
struct CreateRequest
{
    std::wstring path;
    DWORD disposition = 0;
    DWORD flagsAndAttributes = 0;
};
std::mutex g_requestsMutex;
std::vector<CreateRequest> g_requests;
// The real function, kept after the patch is gone (a call may still be on its way through the recorder).
decltype(&::CreateFileW) g_realCreateFile = nullptr;

HANDLE WINAPI RecordingCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    {
        std::lock_guard lock(g_requestsMutex);
        g_requests.push_back({name ? name : L"", disposition, flagsAndAttributes});
    }
    return g_realCreateFile(name, access, share, security, disposition, flagsAndAttributes, templateFile);
}

std::wstring FileNameOf(const CString& path)
{
    std::wstring text(path.GetString());
    return text.substr(text.find_last_of(L'\\') + 1);
}
} // namespace

TEST(TempFiles, NewFilesAreUniqueAndLeaveNothingBehind)
{
    scvtest::TempFolder folder;
    std::set<std::wstring> names;
    for (int i = 0; i < 5; ++i) {
        CString path;
        CKernelHandle file = CreateNewTempFile(L"WARN==Scrivolanter==", L".txt", path, folder.Path().c_str());
        ASSERT_TRUE(file) << i;
        const std::wstring name = FileNameOf(path);
        EXPECT_EQ(name.rfind(L"WARN==Scrivolanter==", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 4), L".txt") << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 5u);
    // Only the five files: no reserved name was left behind.
    const std::vector<std::wstring> present = FilesIn(folder.Path());
    EXPECT_EQ(std::set<std::wstring>(present.begin(), present.end()), names);
}

TEST(TempFiles, NewFilesAreMarkedTemporaryAndNotIndexed)
{
    // Wine keeps neither attribute on disk, so the test reads what the file system was asked.
    scvtest::TempFolder folder;
    scvtest::ImportPatch patch(::GetModuleHandleW(nullptr), "kernel32.dll", "CreateFileW",
                               reinterpret_cast<void*>(&RecordingCreateFileW));
    ASSERT_TRUE(patch.Applied());
    g_realCreateFile = patch.Original<decltype(&::CreateFileW)>();
    {
        std::lock_guard lock(g_requestsMutex);
        g_requests.clear();
    }
    CString path;
    CKernelHandle file = CreateNewTempFile(L"WARN==Scrivolanter==", L".txt", path, folder.Path().c_str());
    ASSERT_TRUE(file);
    std::lock_guard lock(g_requestsMutex);
    const auto made = std::find_if(g_requests.begin(), g_requests.end(),
                                   [&](const CreateRequest& r) { return r.path == path.GetString(); });
    ASSERT_NE(made, g_requests.end()) << "the file was made by CreateFileW";
    EXPECT_EQ(made->disposition, static_cast<DWORD>(CREATE_NEW)) << "a name already taken is never reused";
    EXPECT_TRUE(made->flagsAndAttributes & FILE_ATTRIBUTE_TEMPORARY);
    EXPECT_TRUE(made->flagsAndAttributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
}

TEST(TempFiles, LocalizedWarningIsMadeSafeForAFileName)
{
    EXPECT_EQ(std::wstring(GetTempFileNamePrefix()).find(L"==Scrivolanter=="),
              std::wstring(GetTempFileNamePrefix()).size() - 16);

    scvtest::TempFolder folder;
    const std::wstring language = folder.PathOf(L"Test.lng");
    ASSERT_TRUE(WriteLanguageText(language.c_str(), L"Strings_Client", L"272",
                                  L"..\\..\\Temp: <keep>? \"no\" |x*/y"));
    SetLanguageFileForStrings(language.c_str(), L"_Client");
    const std::wstring prefix(GetTempFileNamePrefix());
    SetCurrentLanguageFilePath(L"");

    EXPECT_EQ(prefix.find_first_of(L"\\/:*?\"<>|"), std::wstring::npos) << prefix;
    EXPECT_NE(prefix.find(L"Temp"), std::wstring::npos) << prefix;
    EXPECT_EQ(prefix.substr(prefix.size() - 16), L"==Scrivolanter==");

    const CString path = WriteBytesToNewTempFile("x", L".txt", folder.Path().c_str());
    ASSERT_FALSE(path.IsEmpty());
    EXPECT_EQ(std::wstring(path).rfind(folder.Path() + L"\\", 0), 0u) << "stays in its folder";
    EXPECT_EQ(DeleteTempFilesOnExit(), 1);
}

TEST(TempFiles, RegistryDeletesItsFilesAtExitAndLogsEachOne)
{
    scvtest::TempFolder folder;
    scvtest::TempFolder logFolder;
    const std::wstring log = logFolder.PathOf(L"Log.txt");
    ASSERT_TRUE(LogOpen(log.c_str()));

    EXPECT_EQ(DeleteTempFilesOnExit(), 0);

    const CString written =
        WriteBytesToNewTempFile(std::string("clip\0data", 9), L".rtf", folder.Path().c_str());
    ASSERT_FALSE(written.IsEmpty());
    EXPECT_EQ(scvtest::ReadFileBytes(std::wstring(written)), std::string("clip\0data", 9));

    const std::wstring readOnly = folder.WriteBytes(L"ro.txt", "r");
    ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring subfolder = folder.CreateSubfolder(L"sub");
    RegisterTempFile(readOnly.c_str());
    RegisterTempFile(subfolder.c_str());
    RegisterTempFile(folder.PathOf(L"missing.txt").c_str());

    EXPECT_EQ(DeleteTempFilesOnExit(), 2);
    EXPECT_FALSE(scvtest::FileExists(std::wstring(written)));
    EXPECT_FALSE(scvtest::FileExists(readOnly));
    EXPECT_TRUE(scvtest::FolderExists(subfolder)) << "folders are refused";
    EXPECT_EQ(DeleteTempFilesOnExit(), 0) << "the list was emptied";

    ASSERT_TRUE(WaitForPendingLogEntries(5000));
    LogClose();
    const std::wstring text = scvtest::ReadFileText(log).value_or(L"");
    EXPECT_NE(text.find(L"No files for deletion on exit"), std::wstring::npos);
    EXPECT_NE(text.find(L"Delete temp file on exit [" + std::wstring(written) + L"]"), std::wstring::npos);
    EXPECT_NE(text.find(L"FAIL on delete temp file on exit [" + subfolder + L"]"), std::wstring::npos);
    EXPECT_NE(text.find(L"Delete temp files on exit. Deleted 2 from 4"), std::wstring::npos) << text;
}

TEST(TempFiles, ClipboardItemExtensions)
{
    EXPECT_EQ(std::wstring(GetClipboardItemFileExtension(0)), L".txt");
    EXPECT_EQ(std::wstring(GetClipboardItemFileExtension(1)), L".txt");
    EXPECT_EQ(std::wstring(GetClipboardItemFileExtension(2)), L".rtf");
    EXPECT_EQ(std::wstring(GetClipboardItemFileExtension(4)), L".bmp");
    EXPECT_TRUE(GetClipboardItemFileExtension(3).IsEmpty());
    EXPECT_TRUE(GetClipboardItemFileExtension(5).IsEmpty());
}
