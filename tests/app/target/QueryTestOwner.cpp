#include "tests/app/target/QueryTestOwner.h"

#include "app/target/SVInterProcess.h"
#include "support/MessagePump.h"

namespace scvtest
{

namespace
{
constexpr wchar_t kOwnerClass[] = L"ScvTestQueryOwner";

bool SameQuery(const SVQuery& a, const SVQuery& b)
{
    return a.AppPath == b.AppPath && a.WindowClassName == b.WindowClassName && a.Hwnd == b.Hwnd &&
           a.Hkl == b.Hkl && a.SelText == b.SelText && a.StateSelText == b.StateSelText &&
           a.POINT_X == b.POINT_X && a.POINT_Y == b.POINT_Y;
}
} // namespace

CString UniqueObjectName(LPCWSTR what)
{
    static LONG counter = 0;
    CString name;
    name.Format(L"Local\\ScvTest_%s_%u_%d", what, GetCurrentProcessId(), InterlockedIncrement(&counter));
    return name;
}

QueryOwnerWindow::QueryOwnerWindow()
{
    WNDCLASSEXW windowClass = {sizeof(windowClass)};
    windowClass.lpfnWndProc = &QueryOwnerWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, kOwnerClass, L"query owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
}

QueryOwnerWindow::~QueryOwnerWindow()
{
    if (window_)
        DestroyWindow(window_);
}

LRESULT CALLBACK QueryOwnerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<QueryOwnerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_WAIT_QUERY_COMPLETE)
        return self->OnQuery(wParam, lParam);
    if (self && message == WM_WAIT_QUERY_COMPLETE_ERROR) {
        ++self->errorMessages;
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT QueryOwnerWindow::OnQuery(WPARAM wParam, LPARAM lParam)
{
    received.push_back(CWaitQuery::CopyQueryOfMessage(wParam));
    if (busyMs)
        PumpFor(busyMs);
    stillValidAfterBusy.push_back(SameQuery(*reinterpret_cast<const SVQuery*>(wParam), received.back()));
    if (result == 1) {
        auto* answer = reinterpret_cast<SVAnswer*>(lParam);
        answer->Items = answerItems;
    }
    return result;
}

QueryThreadRig::QueryThreadRig()
    : QueryThreadRig(UniqueObjectName(L"Needed"), UniqueObjectName(L"Completed"), UniqueObjectName(L"Area"))
{}

QueryThreadRig::QueryThreadRig(LPCWSTR dataNeededName, LPCWSTR dataCompletedName, LPCWSTR mappingName)
    : objects(dataNeededName, dataCompletedName, mappingName),
      stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{}

QueryThreadRig::~QueryThreadRig()
{
    thread.StopWaitThread();
    objects.CloseWaitObjects();
}

bool QueryThreadRig::Start()
{
    if (!objects.IsCreated() && !objects.CreateWaitObjects())
        return false;
    WaitQueryParams params;
    params.owner = owner.Handle();
    params.stopEvent = stopEvent.Get();
    params.queryEvent = objects.GetDataNeededEvent();
    params.answerEvent = objects.GetDataCompletedEvent();
    params.mappingName = objects.GetMappingName();
    return thread.StartWaitThread(params);
}

bool QueryThreadRig::PostQuery(const std::string& document)
{
    return SVInterProcess::WriteTextToMapping(document, objects.GetMappingName()) &&
           SetEvent(objects.GetDataNeededEvent());
}

std::string QueryThreadRig::AreaText() const
{
    std::string text;
    SVInterProcess::ReadMappingText(objects.GetMappingName(), text);
    return text;
}

} // namespace scvtest
