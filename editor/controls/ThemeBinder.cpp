#include "editor/controls/ThemeBinder.h"

namespace
{
struct Binding
{
    HMODULE library = nullptr;
    ThemeFunctions functions;
    int count = 0;
};

Binding& GetBinding()
{
    static Binding binding;
    return binding;
}

template <typename Function>
bool Bind(HMODULE library, const char* name, Function& target)
{
    target = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    return target != nullptr;
}

void Load(Binding& binding)
{
    binding.library = ::LoadLibraryW(L"UXTHEME.DLL");
    if (!binding.library)
        return;
    ThemeFunctions& f = binding.functions;
    const bool all = Bind(binding.library, "CloseThemeData", f.closeThemeData) &
                     Bind(binding.library, "DrawThemeBackground", f.drawThemeBackground) &
                     Bind(binding.library, "DrawThemeParentBackground", f.drawThemeParentBackground) &
                     Bind(binding.library, "DrawThemeText", f.drawThemeText) &
                     Bind(binding.library, "GetThemeBackgroundContentRect", f.getThemeBackgroundContentRect) &
                     Bind(binding.library, "IsAppThemed", f.isAppThemed) &
                     Bind(binding.library, "IsThemeActive", f.isThemeActive) &
                     Bind(binding.library, "OpenThemeData", f.openThemeData);
    if (all)
        return;
    ::FreeLibrary(binding.library);
    binding.library = nullptr;
    binding.functions = ThemeFunctions();
}

void Unload(Binding& binding)
{
    if (binding.library)
        ::FreeLibrary(binding.library);
    binding.library = nullptr;
    binding.functions = ThemeFunctions();
}
} // namespace

CThemeBinder::CThemeBinder()
{
    Binding& binding = GetBinding();
    if (binding.count++ == 0)
        Load(binding);
}

CThemeBinder::~CThemeBinder()
{
    Binding& binding = GetBinding();
    if (--binding.count == 0)
        Unload(binding);
}

bool CThemeBinder::IsAvailable()
{
    return GetBinding().library != nullptr;
}

const ThemeFunctions& CThemeBinder::Functions()
{
    return GetBinding().functions;
}

int CThemeBinder::Count()
{
    return GetBinding().count;
}
