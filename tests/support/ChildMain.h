#pragma once
// Child mode of a test executable: a test can start its own executable as a
// real second process that runs one registered function instead of the tests.
//
//   SCV_CHILD_MAIN(hold_mutex)          // in a *Tests.cpp file
//   {
//       // args: the arguments given to LaunchSelf
//       return 0;                       // the child's exit code
//   }
//
//   scvtest::ChildProcess child = scvtest::LaunchSelf(L"hold_mutex", {L"name"});
//   EXPECT_EQ(child.Wait(10000), 0u);

#include "support/ChildProcess.h"

#include <optional>
#include <string>
#include <vector>

namespace scvtest
{

using ChildMainFunction = int (*)(const std::vector<std::wstring>& args);

// Registers a child function under a name (SCV_CHILD_MAIN does this).
class ChildMainRegistration
{
public:
    ChildMainRegistration(const wchar_t* name, ChildMainFunction function);
};

// Starts the running test executable in child mode: it runs the function
// registered as `name` with `args` and exits with its return value.
ChildProcess LaunchSelf(const std::wstring& name, const std::vector<std::wstring>& args = {},
                        const ChildOptions& options = {});

// When the command line has "--scv-child=<name>", runs that child function
// with the arguments after it and returns its exit code (an unknown name gives
// 125, an escaping exception 126). nullopt for a normal test run.
std::optional<int> RunChildModeIfRequested();

} // namespace scvtest

#define SCV_CHILD_MAIN(name)                                                                                 \
    static int ScvChildMain_##name(const std::vector<std::wstring>& args);                                   \
    static const ::scvtest::ChildMainRegistration scvChildMainRegistration_##name(L"" #name,                 \
                                                                                  &ScvChildMain_##name);     \
    static int ScvChildMain_##name([[maybe_unused]] const std::vector<std::wstring>& args)
