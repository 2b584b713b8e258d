#include "support/ChildMain.h"

#include "support/TestFiles.h"

#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <map>

namespace scvtest
{

namespace
{

constexpr wchar_t kChildSwitch[] = L"--scv-child=";
constexpr int kUnknownChild = 125;
constexpr int kChildThrew = 126;

std::map<std::wstring, ChildMainFunction>& Registry()
{
    static std::map<std::wstring, ChildMainFunction> registry;
    return registry;
}

std::vector<std::wstring> CommandLineArguments()
{
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
        return args;
    for (int i = 0; i < count; ++i)
        args.emplace_back(argv[i]);
    LocalFree(argv);
    return args;
}

} // namespace

ChildMainRegistration::ChildMainRegistration(const wchar_t* name, ChildMainFunction function)
{
    Registry()[name] = function;
}

ChildProcess LaunchSelf(const std::wstring& name, const std::vector<std::wstring>& args,
                        const ChildOptions& options)
{
    std::vector<std::wstring> all;
    all.reserve(args.size() + 1);
    all.push_back(kChildSwitch + name);
    all.insert(all.end(), args.begin(), args.end());
    return ChildProcess::Run(SelfPath(), all, options);
}

std::optional<int> RunChildModeIfRequested()
{
    std::vector<std::wstring> args = CommandLineArguments();
    const size_t switchLength = wcslen(kChildSwitch);
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].compare(0, switchLength, kChildSwitch) != 0)
            continue;
        std::wstring name = args[i].substr(switchLength);
        std::vector<std::wstring> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
        auto found = Registry().find(name);
        if (found == Registry().end()) {
            std::fprintf(stderr, "no child function named \"%s\"\n", WideToUtf8(name).c_str());
            return kUnknownChild;
        }
        try {
            return found->second(rest);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child \"%s\" failed: %s\n", WideToUtf8(name).c_str(), e.what());
            return kChildThrew;
        }
    }
    return std::nullopt;
}

} // namespace scvtest
