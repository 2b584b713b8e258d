// The main function of every test executable: runs a child function when
// started in child mode (see ChildMain.h), the tests otherwise, with the
// dialog watchdog watching each test.

#include "support/ChildMain.h"
#include "support/DialogWatchdog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

int main(int argc, char** argv)
{
    // A crash ends the process with its code instead of waiting in a box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    if (std::optional<int> childCode = scvtest::RunChildModeIfRequested())
        return *childCode;

    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new scvtest::DialogWatchdogListener);
    return RUN_ALL_TESTS();
}
