#include "editor/app/document/EditorFileCommands.h"

#include "common/DialogTemplateTexts.h"
#include "common/EventSounds.h"
#include "common/FileBytes.h"
#include "common/IniFile.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"
#include "common/TimedMessageBox.h"
#include "editor/app/document/EditorArchive.h"
#include "editor/app/document/EditorPhraseFile.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/frame/EditorTitles.h"
#include "editor/app/frame/ScrivolanterEditorRes.h"
#include "editor/controls/FileDialogEx.h"
#include "engine/MacroEngine.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace EditorFileCommands
{
namespace
{

// Files brought in as phrases.
constexpr unsigned long long kLargestImportFile = 64 * 1024 * 1024;

constexpr wchar_t kCaption[] = L"Scrivolanter : RedodeZovuva";
constexpr DWORD kMessageTimeoutMs = 30000;
constexpr wchar_t kPhraseExtension[] = L".scrivolanter";
constexpr wchar_t kMainSection[] = L"Main";

struct HandleCloser
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenFile(const CString& path, DWORD access, DWORD disposition)
{
    HANDLE raw =
        CreateFileW(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
}

bool WriteWholeFile(const CString& path, const std::string& bytes, DWORD disposition)
{
    FileHandle file = OpenFile(path, GENERIC_WRITE, disposition);
    return file && WriteAllBytes(file.get(), bytes);
}

CString AnsiToWide(const std::string& bytes)
{
    if (bytes.empty())
        return CString();
    const int chars =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), chars);
    return CString(wide.c_str(), chars);
}

std::string WideToAnsi(const CString& text)
{
    if (text.IsEmpty())
        return std::string();
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

CString Utf16ToText(const std::string& bytes, size_t offset)
{
    const size_t chars = (bytes.size() - offset) / 2;
    std::wstring wide(chars, L'\0');
    if (chars)
        memcpy(wide.data(), bytes.data() + offset, chars * 2);
    const size_t end = wide.find(L'\0');
    if (end != std::wstring::npos)
        wide.resize(end);
    return CString(wide.c_str(), static_cast<int>(wide.size()));
}

bool HasExtension(const CString& path, const wchar_t* extension)
{
    const int length = static_cast<int>(wcslen(extension));
    return path.GetLength() >= length && path.Right(length).CompareNoCase(extension) == 0;
}

CString StemOf(const CString& path)
{
    CString name = GetFileNameFromPath(path);
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash >= 0 ? path.Left(slash + 1) : CString();
}

// The first path "folder\stem.ext", "folder\stem2.ext", ... that does not exist.
CString FirstFreeName(const CString& folder, const CString& stem, const CString& extension, int firstNumber,
                      const wchar_t* numberFormat)
{
    CString path = folder + stem + extension;
    for (int n = firstNumber; FileExists(path) && n < 100000; ++n) {
        CString number;
        number.Format(numberFormat, n);
        path = folder + stem + number + extension;
    }
    return path;
}

CString CommandTitle(UINT id)
{
    CString text = LoadLocalizedString(id);
    const int lineBreak = text.Find(L'\n');
    return lineBreak >= 0 ? text.Left(lineBreak) : text;
}

int ShowMessage(HWND owner, const CString& text, UINT type)
{
    return MessageBoxTimeout(owner, kCaption, text, type, kMessageTimeoutMs);
}

bool IniKeyMissing(const CString& file, const wchar_t* section, const wchar_t* key)
{
    constexpr wchar_t kAbsent[] = L"\x1\x2\x3";
    wchar_t value[8] = {};
    GetPrivateProfileStringW(section, key, kAbsent, value, 8, file);
    return wcscmp(value, kAbsent) == 0;
}

void WriteIfMissing(const CString& file, const wchar_t* section, const wchar_t* key, const wchar_t* text)
{
    if (IniKeyMissing(file, section, key))
        WritePrivateProfileStringW(section, key, text, file);
}

struct StringWriteContext
{
    const CString* file;
    CString section;
    int written = 0;
};

BOOL CALLBACK WriteStringBlock(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto& context = *reinterpret_cast<StringWriteContext*>(param);
    if (!IS_INTRESOURCE(name))
        return TRUE;
    const UINT first = (static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)) - 1) * 16;
    for (UINT id = first; id < first + 16; ++id) {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || !text)
            continue;
        CString key;
        key.Format(L"%u", id);
        if (!IniKeyMissing(*context.file, context.section, key))
            continue;
        if (WritePrivateProfileStringW(context.section, key, EscapeLanguageText(CString(text, length)),
                                       *context.file))
            ++context.written;
    }
    return TRUE;
}

} // namespace

CString MakeBackupFileName(const SYSTEMTIME& time)
{
    CString name;
    name.Format(L"Scrivolanter_Backup_%02u-%02u-%04u %02u_%02u_%02u.zip", time.wDay, time.wMonth, time.wYear,
                time.wHour, time.wMinute, time.wSecond);
    return name;
}

bool BackupPhrases(const CString& phrasesFolder, const CString& settingsPath, const CString& archivePath)
{
    EditorArchive::PathList extra;
    if (!settingsPath.IsEmpty() && FileExists(settingsPath))
        extra.push_back(settingsPath);
    return EditorArchive::ZipFolder(phrasesFolder, extra, archivePath, L"*.scrivolanter");
}

namespace
{

// Text with bytes above 127 that all form valid UTF-8 sequences: such a file is UTF-8, not ANSI.
bool IsNonAsciiUtf8(const std::string& bytes)
{
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char ch) { return (ch & 0x80) != 0; });
    if (!nonAscii || bytes.size() > static_cast<size_t>(INT_MAX))
        return false;
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                 nullptr, 0) > 0;
}

// The RTF as the hidden converter reads and writes it again (its own clean form of the same text);
// the file's characters as they are when there is no converter or it refused them.
CString RtfThroughConverter(const std::string& rtf)
{
    HWND converter = GetRichEditConverter();
    if (converter && StreamInAnsiRtf(converter, rtf.c_str())) {
        const CString converted = GetRichEditRtf(converter);
        if (!converted.IsEmpty())
            return converted;
    }
    WriteLogLine(L"Import: the RTF is taken as it is (the rich edit converter did not read it)");
    return AnsiToWide(rtf.c_str());
}

} // namespace

bool ReadImportFile(const CString& path, CString& text, int& kind)
{
    std::string bytes;
    if (!ReadFileBytesBounded(path, kLargestImportFile, bytes)) {
        WriteLogLine(CString(L"Import: cannot read ") + path);
        return false;
    }
    kind = 0;
    if (HasExtension(path, L".rtf") && bytes.compare(0, 6, "{\\rtf1") == 0) {
        kind = 1;
        text = RtfThroughConverter(bytes.substr(0, bytes.find('\0')));
        return true;
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        size_t offset = 2;
        if (bytes.size() >= 4 && bytes[2] == 0 && bytes[3] == 0)
            offset = 4;
        text = Utf16ToText(bytes, offset);
        return true;
    }
    const std::string narrow = bytes.substr(0, bytes.find('\0'));
    if (narrow.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = Utf8ToWide(narrow.c_str() + 3);
        return true;
    }
    text = IsNonAsciiUtf8(narrow) ? Utf8ToWide(narrow.c_str()) : AnsiToWide(narrow.c_str());
    return true;
}

int ImportFile(CEditorPhraseStore& store, const CString& path)
{
    if (HasExtension(path, kPhraseExtension)) {
        const CString name = GetFileNameFromPath(path);
        if (!EditorArchive::IsSafeRelativeName(name)) {
            WriteLogLine(CString(L"Import: refused file name ") + name);
            return -1;
        }
        CString folder = store.GetFolderPath(-1);
        if (folder.IsEmpty() || !FolderExists(folder)) {
            WriteLogLine(CString(L"Import: the phrases folder is missing: ") + folder);
            return -1;
        }
        if (folder[folder.GetLength() - 1] != L'\\')
            folder += L'\\';
        const CString target = FirstFreeName(folder, StemOf(name), kPhraseExtension, 2, L"%d");
        if (!CopyFileW(path, target, TRUE)) {
            WriteLogLine(CString(L"Import: cannot copy to ") + target);
            return -1;
        }
        return store.LoadPhraseFile(target, store.GetItems());
    }
    CString text;
    int kind = 0;
    if (!ReadImportFile(path, text, kind))
        return -1;
    const CString menuName = CEditorPhraseStore::NormalizeMenuName(StemOf(path));
    return store.AddPhrase(menuName, text, kind, -1);
}

bool ExportPhrase(const PhraseItemRecord& item, const CString& path)
{
    if (HasExtension(path, kPhraseExtension))
        return WritePhraseFile(item, path, nullptr, nullptr);
    std::string bytes;
    if (item.dataType == 1) {
        bytes = WideToAnsi(item.body);
    } else {
        bytes.assign("\xFF\xFE\0\0", 4);
        bytes.append(reinterpret_cast<const char*>(item.body.GetString()),
                     static_cast<size_t>(item.body.GetLength()) * sizeof(wchar_t));
    }
    // An exported file may replace one the user chose to overwrite: never leave it half written.
    const bool written = ReplaceFileContents(path, bytes);
    if (!written)
        WriteLogLine(CString(L"Export: cannot write ") + path);
    return written;
}

bool WriteLanguageTemplateMain(const CString& languageFile)
{
    if (!FileExists(languageFile) && !WriteWholeFile(languageFile, std::string("\xFF\xFE", 2), CREATE_NEW))
        return false;
    if (!WritePrivateProfileStringW(kMainSection, L"Tip", L"ATTENTION: Save the file as Unicode encoding!!!!",
                                    languageFile))
        return false;
    WriteIfMissing(
        languageFile, kMainSection, L"LangPrefix",
        L"THE TIP!!!: Write the prefix of Your language. E.g. \"De\" for German language, \"En\" for "
        L"English language, \"Sp\" for Spanish language and etc. Prefix of language You can see in "
        L"standard language pane of Windows in right bottom corner of screen.");
    WriteIfMissing(languageFile, kMainSection, L"Author",
                   L"THE TIP!!!: Write the Your name and email (optional)");
    WriteIfMissing(languageFile, kMainSection, L"LangLocalized",
                   L"THE TIP!!!: Write the localized name of Your language");
    return true;
}

int WriteModuleStrings(const CString& languageFile, HMODULE module, const CString& suffix)
{
    StringWriteContext context{&languageFile, CString(L"Strings") + suffix};
    EnumResourceNamesW(module, RT_STRING, WriteStringBlock, reinterpret_cast<LONG_PTR>(&context));
    return context.written;
}

namespace
{

struct ResourceWriteContext
{
    const CString* file;
    CString suffix;
    int written = 0;
};

bool WriteMissingLanguageText(const CString& file, const CString& section, const CString& key,
                              const CString& text)
{
    if (text.IsEmpty() || !IsWritableLanguageKey(key) || !IniKeyMissing(file, section, key))
        return false;
    return WriteLanguageText(file, section, key, text);
}

void WriteMenuTexts(HMENU menu, ResourceWriteContext& context, int depth)
{
    const CString section = L"Menu" + context.suffix;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t buffer[260] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), buffer, 260, MF_BYPOSITION);
        const CString text = buffer; // as the menu translator reads it, "&" and accelerator included
        if (!text.IsEmpty()) {
            const MenuItemKey parts = MakeMenuItemKey(text);
            if (WriteMissingLanguageText(*context.file, section, parts.Key, parts.PlainText))
                ++context.written;
        }
        if (HMENU popup = GetSubMenu(menu, position); popup && depth < 8)
            WriteMenuTexts(popup, context, depth + 1);
    }
}

BOOL CALLBACK WriteMenuResource(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    auto& context = *reinterpret_cast<ResourceWriteContext*>(param);
    if (HMENU menu = LoadMenuW(module, name)) {
        WriteMenuTexts(menu, context, 0);
        DestroyMenu(menu);
    }
    return TRUE;
}

BOOL CALLBACK WriteDialogResource(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    auto& context = *reinterpret_cast<ResourceWriteContext*>(param);
    if (!IS_INTRESOURCE(name))
        return TRUE;
    HRSRC resource = FindResourceW(module, name, type);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return TRUE;
    CString section;
    section.Format(L"Dialog%s_%u", context.suffix.GetString(),
                   static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    for (const DialogTemplateControl& control :
         ReadDialogTemplateControls(bytes, SizeofResource(module, resource))) {
        if (control.id == -1 || control.id == 0xFFFF || IsUntranslatedDialogControl(control))
            continue;
        CString key;
        key.Format(L"%d", control.id);
        if (WriteMissingLanguageText(*context.file, section, key, EscapeLanguageText(control.text)))
            ++context.written;
    }
    return TRUE;
}

} // namespace

int WriteModuleMenusAndDialogs(const CString& languageFile, HMODULE module, const CString& suffix)
{
    ResourceWriteContext context{&languageFile, suffix};
    EnumResourceNamesW(module, RT_MENU, WriteMenuResource, reinterpret_cast<LONG_PTR>(&context));
    EnumResourceNamesW(module, RT_DIALOG, WriteDialogResource, reinterpret_cast<LONG_PTR>(&context));
    return context.written;
}

CString WriteWelcomeHtml(const CString& folder, const char* bytes, size_t size)
{
    CString base = folder;
    if (!base.IsEmpty() && base[base.GetLength() - 1] != L'\\')
        base += L'\\';
    CString path = base + L"welcome.html";
    for (int n = 2; FileExists(path) && n < 100000; ++n)
        path.Format(L"%sWelcome_%d.html", base.GetString(), n);
    if (FileExists(path))
        return CString();
    std::string content(bytes, size);
    content.resize(content.find('\0') == std::string::npos ? content.size() : content.find('\0'));
    if (!WriteWholeFile(path, content, CREATE_NEW)) {
        DeleteFileW(path);
        return CString();
    }
    return path;
}

void RunBackup(HWND owner, const CString& phrasesFolder, const CString& settingsPath)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const CString title = CommandTitle(kCmdBackup);
    CFileDialogEx dialog(FALSE, L"zip", MakeBackupFileName(now), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         L"Zip archives (*.zip)|*.zip|All Files (*.*)|*.*||", owner, title);
    if (dialog.DoModal() != IDOK)
        return;
    const CString archive = dialog.GetPathName().c_str();
    if (!BackupPhrases(phrasesFolder, settingsPath, archive)) {
        MessageBeep(MB_OK);
        return;
    }
    PlayNotificationSound(true);
    ShellExecuteW(owner, L"open", L"explorer.exe", CString(L"/select, \"") + archive + L"\"", nullptr,
                  SW_SHOW);
}

std::vector<int> RunImport(HWND owner, CEditorPhraseStore& store)
{
    std::vector<int> ids;
    const CString title = CommandTitle(kCmdImport);
    CFileDialogEx dialog(
        TRUE, nullptr, nullptr,
        OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLESIZING | OFN_HIDEREADONLY,
        L"All Formats (*.txt,*.rtf,*.scrivolanter)|*.txt;*.rtf;*.scrivolanter|Scrivolanter Phrases "
        L"(*.scrivolanter)|*.scrivolanter|Text Files (*.txt)|*.txt|RTF Documents (*.rtf)|*.rtf|All "
        L"Files (*.*)|*.*||",
        owner, title);
    if (dialog.DoModal() != IDOK)
        return ids;
    for (const std::wstring& path : dialog.GetPathNames()) {
        const int id = ImportFile(store, path.c_str());
        if (id >= 0)
            ids.push_back(id);
    }
    return ids;
}

int RunExport(HWND owner, const std::vector<const PhraseItemRecord*>& items)
{
    static std::wstring lastFolder;
    int written = 0;
    const CString title = CommandTitle(kCmdExport);
    for (const PhraseItemRecord* item : items) {
        if (!item || item->IsFolder())
            continue;
        const bool formatted = item->dataType == 1;
        CString filter = formatted ? L"Text Files (*.rtf)|*.rtf" : L"Text Files (*.txt)|*.txt";
        filter += L"|Scrivolanter Phrase (*.scrivolanter)|*.scrivolanter|All Files (*.*)|*.*||";
        const CString proposed = CEditorPhraseStore::FileNameFromText(item->GetTitle(), false);
        CFileDialogEx dialog(FALSE, formatted ? L"rtf" : L"txt", proposed,
                             OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, owner, title,
                             lastFolder.empty() ? nullptr : lastFolder.c_str());
        if (dialog.DoModal() != IDOK)
            continue;
        lastFolder = dialog.GetSelectedFolder();
        const CString path = dialog.GetPathName().c_str();
        if (ExportPhrase(*item, path)) {
            ++written;
            continue;
        }
        ShowMessage(owner, CString(L"Cannot write the file\n") + path, MB_OK | MB_ICONSTOP);
    }
    return written;
}

bool RunZipLog(HWND owner, LogZipRequest request)
{
    const CString title = CommandTitle(kCmdZipLog);
    CFileDialogEx dialog(FALSE, L".zip", MakeDefaultLogZipName(request.logPath, &ExpandMacrosInText),
                         OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         L"ZIP Archives (*.zip)|*.zip|All Files (*.*)|*.*||", owner, title);
    if (dialog.DoModal() != IDOK)
        return false;
    request.zipPath = dialog.GetPathName().c_str();
    request.owner = owner;
    // The archive is written beside the chosen file and replaces it only when complete.
    return CreateLogZipArchive(request);
}

void RunMakeLanguageFile(HWND owner, const CString& programFolder)
{
    const CString title = CommandTitle(kCmdMakeLanguageFile);
    CFileDialogEx dialog(FALSE, L".lng", nullptr,
                         OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLESIZING,
                         L"Language files (*.lng)|*.lng|All Files (*.*)|*.*||", owner, title);
    if (dialog.DoModal() != IDOK)
        return;
    const CString file = dialog.GetPathName().c_str();
    if (FileExists(file)) {
        const int answer =
            MessageBoxW(owner, file + L"\n\n" + LoadLocalizedString(IDS_EDITOR_LNG_FILE_EXISTS), kCaption,
                        MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer == IDCANCEL)
            return;
        if (answer == IDNO && !DeleteToRecycleBin(owner, file, false)) {
            ShowMessage(owner, CString(L"Cannot create lng-file\n") + file, MB_OK | MB_ICONSTOP);
            return;
        }
    }
    WriteLanguageTemplateMain(file);
    WriteModuleStrings(file, GetModuleHandleW(nullptr), L"_Editor");
    WriteModuleMenusAndDialogs(file, GetModuleHandleW(nullptr), L"_Editor");
    CString html;
    const struct
    {
        const wchar_t* name;
        const wchar_t* suffix;
        const wchar_t* failure;
    } modules[] = {{L"Scrivolanter.exe", L"_Client", L"Cannot find agent module by path\n%s"},
                   {L"Scrivolanter_Welcome.exe", L"_Welcome", L"Cannot find Welcome-module by path\n%s"}};
    for (const auto& entry : modules) {
        const CString path = programFolder + entry.name;
        HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) {
            CString message;
            message.Format(entry.failure, path.GetString());
            ShowMessage(owner, message, MB_OK | MB_ICONSTOP);
            continue;
        }
        WriteModuleStrings(file, module, entry.suffix);
        WriteModuleMenusAndDialogs(file, module, entry.suffix);
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(201), RT_HTML);
        HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
        if (loaded)
            html = WriteWelcomeHtml(FolderOf(file), static_cast<const char*>(LockResource(loaded)),
                                    SizeofResource(module, resource));
        FreeLibrary(module);
    }
    if (!FileExists(file)) {
        ShowMessage(owner, CString(L"Cannot create lng-file\n") + file, MB_OK | MB_ICONSTOP);
        return;
    }
    CString message;
    message.Format(L"Lng-file\n%s\nis created successfully", file.GetString());
    ShowMessage(owner, message + L"\n\nHTML for Welcome module: " + html, MB_OK | MB_ICONINFORMATION);
    ShellExecuteW(owner, L"open", L"notepad.exe", CString(L"\"") + file + L"\"", FolderOf(file), SW_SHOW);
    if (!html.IsEmpty())
        ShellExecuteW(owner, L"open", html, nullptr, nullptr, SW_SHOW);
}

} // namespace EditorFileCommands
