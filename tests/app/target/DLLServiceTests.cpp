// test-depends: fake_core_v1 fake_core_v2 fake_core_v2_only fake_core_failing fake_core_stubborn
#include "app/target/CSCVDLLService.h"
#include "platform/interchange/InterchangeArea.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace
{
const UINT kRequestMessage = RegisterWindowMessageW(L"ScvTest target request");

CString FakeDll(const wchar_t* name)
{
    std::wstring path = scvtest::SelfPath();
    path.resize(path.find_last_of(L'\\') + 1);
    return CString((path + name + L".dll").c_str());
}

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return std::wstring(value, length < 4096 ? length : 0);
}

class DLLService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetEnvironmentVariableW(L"SCV_FAKE_CORE_CALLS", nullptr);
        SetEnvironmentVariableW(L"SCV_FAKE_CORE_PARAMS", nullptr);
        SetEnvironmentVariableW(L"SCV_FAKE_CORE_TARGET", nullptr);
        window = CreateWindowExW(0, L"STATIC", L"target", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }

    int Install(CSCVDLLService& service, int& code)
    {
        return service.InstallDLLService(window, kRequestMessage, InterchangeArea::kDataNeededEventName,
                                         InterchangeArea::kDataCompletedEventName,
                                         InterchangeArea::kMappingName, false, code, 0);
    }
    static std::wstring Calls() { return Variable(L"SCV_FAKE_CORE_CALLS"); }
    static void ForgetCalls() { SetEnvironmentVariableW(L"SCV_FAKE_CORE_CALLS", nullptr); }

    // The target-request message posted to the window, if any: its wParam.
    std::optional<WPARAM> TakeRequest()
    {
        MSG message;
        if (!PeekMessageW(&message, window, kRequestMessage, kRequestMessage, PM_REMOVE))
            return std::nullopt;
        return message.wParam;
    }

    HWND window = nullptr;
};
} // namespace

TEST_F(DLLService, InstallsThroughSvInstallAloneAndUninstalls)
{
    const CString path = FakeDll(L"fake_core_v1");
    CSCVDLLService service(kRequestMessage, path);
    EXPECT_EQ(service.GetCoreDllPath(), path);
    int code = -1;
    ASSERT_NE(Install(service, code), 0);
    EXPECT_EQ(code, kSVInstallSuccess);
    EXPECT_TRUE(service.IsInstalled());
    // The clean-up calls the uninstall the DLL has, then the only install there is.
    EXPECT_EQ(Calls(), L"SV_Uninstall;SV_Install;");
    const std::wstring expected =
        std::to_wstring(kRequestMessage) + L"|Local\\Scrivolanter_DataNeeded|" +
        L"Local\\Scrivolanter_DataCompleted|Local\\$SCRIVOLANTER_INTERCHANGE_AREA$|0|" +
        std::to_wstring(reinterpret_cast<UINT_PTR>(window)) + L"|(null)";
    EXPECT_EQ(Variable(L"SCV_FAKE_CORE_PARAMS"), expected);
    EXPECT_NE(GetModuleHandleW(path), nullptr);

    HANDLE serviceEvent = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), service.GetServiceEvent(), GetCurrentProcess(),
                                &serviceEvent, 0, FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(WaitForSingleObject(serviceEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ForgetCalls();
    EXPECT_TRUE(service.Uninstall());
    EXPECT_EQ(Calls(), L"SV_Uninstall;");
    EXPECT_FALSE(service.IsInstalled());
    EXPECT_EQ(GetModuleHandleW(path), nullptr);
    EXPECT_EQ(WaitForSingleObject(serviceEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(serviceEvent);
    EXPECT_FALSE(service.Uninstall()) << "nothing left to uninstall";
}

TEST_F(DLLService, PrefersSvInstall2AndLeavesARunningHookAlone)
{
    CSCVDLLService service(kRequestMessage, FakeDll(L"fake_core_v2"));
    int code = -1;
    ASSERT_NE(Install(service, code), 0);
    EXPECT_EQ(Calls(), L"SV_Uninstall2;SV_Install2;");

    ForgetCalls();
    EXPECT_EQ(Install(service, code), 0);
    EXPECT_EQ(code, kSVInstallAlreadyInstalled);
    EXPECT_EQ(Calls(), L"") << "no clean-up of the running hook, no second install";
    EXPECT_TRUE(service.IsInstalled());
}

TEST_F(DLLService, InstallFailuresLeaveTheDllUnloaded)
{
    struct Case
    {
        const wchar_t* dll;
        int code;
        const wchar_t* calls;
    };
    const Case cases[] = {
        {L"fake_core_v2_only", kSVInstallNoInstallFunction, L"SV_Uninstall;"},
        {L"fake_core_failing", kSVInstallCannotHook, L"SV_Uninstall;SV_Install;"},
        {L"no_such_core", kSVInstallCannotLoadDll, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.dll).GetString());
        ForgetCalls();
        const CString path = FakeDll(c.dll);
        CSCVDLLService service(kRequestMessage, path);
        int code = -1;
        EXPECT_EQ(Install(service, code), 0);
        EXPECT_EQ(code, c.code);
        EXPECT_FALSE(service.IsInstalled());
        EXPECT_EQ(service.GetModule(), nullptr);
        EXPECT_EQ(GetModuleHandleW(path), nullptr);
        EXPECT_EQ(Calls(), c.calls);
        SVQuery query;
        EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kNoTarget);
    }
}

TEST_F(DLLService, AHookThatRefusesToGoKeepsItsLibrary)
{
    const CString path = FakeDll(L"fake_core_stubborn");
    CSCVDLLService service(kRequestMessage, path);
    int code = -1;
    ASSERT_NE(Install(service, code), 0);
    EXPECT_FALSE(service.Uninstall());
    EXPECT_TRUE(service.IsInstalled());
    EXPECT_NE(GetModuleHandleW(path), nullptr);
}

TEST_F(DLLService, PostsTheRequestToTheTargetTheHookNames)
{
    CSCVDLLService service(kRequestMessage, FakeDll(L"fake_core_v2"));
    SVQuery query;
    EXPECT_EQ(service.SendMessageToTargetWindow(1, query), CSCVDLLService::kNoTarget) << "not installed";
    EXPECT_EQ(service.GetTargetWindowOther(), nullptr);

    int code = -1;
    ASSERT_NE(Install(service, code), 0);
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_TARGET",
                            std::to_wstring(reinterpret_cast<UINT_PTR>(window)).c_str());
    EXPECT_EQ(service.GetTargetWindowOther(), window);
    EXPECT_EQ(service.SendMessageToTargetWindow(1, query), CSCVDLLService::kTargetRequestPosted);
    EXPECT_EQ(TakeRequest(), std::optional<WPARAM>(1));
    EXPECT_EQ(query.Hwnd, nullptr) << "the hook fills the query, not the service";

    // No window from the hook: the last foreground or focus window of the WinEvents is taken.
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_TARGET", L"0");
    EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kNoTarget);
    service.OnWinEvent({EVENT_SYSTEM_MENUSTART, window, 0, 0, 0, 0}, 0);
    EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kNoTarget);
    service.OnWinEvent({EVENT_OBJECT_FOCUS, window, 0, 0, 0, 0}, 0);
    EXPECT_EQ(service.SendMessageToTargetWindow(0, query), CSCVDLLService::kTargetRequestPosted);
    EXPECT_EQ(TakeRequest(), std::optional<WPARAM>(0));
    EXPECT_EQ(service.WE_IsIntalled(), 0);
}

TEST(DLLServiceTexts, InstallResultTexts)
{
    const std::pair<int, const wchar_t*> cases[] = {
        {0, L"Success, Error code: 0"},
        {1, L"Invalid names of sync objects, Error code: 1"},
        {2, L"DLL service is already installed, Error code: 2"},
        {3, L"Cant install hook, Error code: 3"},
        {4, L"Cant load DLL, Error code: 4"},
        {5, L"Cant GetProcAddress to install function of DLL, Error code: 5"},
        {6, L"Unknow error, Error code: 6"},
        {7, L"Cant create service event, Error code: 7"},
        {-1, L"Unknow error, Error code: -1"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_STREQ(CSCVDLLService::InstallResultText(code), text);
    EXPECT_TRUE(CSCVDLLService::IsX32Implementation()) << "a 64-bit program under 64-bit Windows";
    EXPECT_STREQ(CSCVDLLService::GetImplementationText(), L"Use x32 implementation XP like");
}
