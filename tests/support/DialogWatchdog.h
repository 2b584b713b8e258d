#pragma once
// Closes dialog boxes a test left open. While each test runs, a background
// thread looks every 200 ms for visible dialogs ("#32770") of this process;
// one that has stayed open longer than the limit is read, closed, and (in the
// default Fail mode) reported as a failure of the test when it ends.
//
//   scvtest::DialogWatchdog::Allow(60000);          // this test may keep a box open 60 s
//   { scvtest::DialogWatchdog::ScopedLimit l(500); ... }
//   { scvtest::DialogWatchdog::ScopedMode m(scvtest::DialogWatchdog::Mode::RecordOnly); ... }

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace scvtest
{

class DialogWatchdog
{
public:
    static constexpr DWORD kDefaultLimitMs = 20000;
    static constexpr DWORD kScanIntervalMs = 200;

    enum class Mode
    {
        Fail,       // the closed box fails the running test
        RecordOnly, // the closed box is only recorded (TakeClosedTexts)
    };

    // Sets how long a dialog may stay open, for the rest of the running test.
    static void Allow(DWORD limitMs);
    static DWORD Limit();
    static void SetMode(Mode mode);
    static Mode GetMode();

    // Limit or mode for a scope; the previous one comes back at its end.
    class ScopedLimit
    {
    public:
        explicit ScopedLimit(DWORD limitMs);
        ~ScopedLimit();
        ScopedLimit(const ScopedLimit&) = delete;
        ScopedLimit& operator=(const ScopedLimit&) = delete;

    private:
        DWORD previous_;
    };
    class ScopedMode
    {
    public:
        explicit ScopedMode(Mode mode);
        ~ScopedMode();
        ScopedMode(const ScopedMode&) = delete;
        ScopedMode& operator=(const ScopedMode&) = delete;

    private:
        Mode previous_;
    };

    // The texts (ReadDialogText) of the dialogs closed by the watchdog, oldest
    // first; the list is emptied.
    static std::vector<std::wstring> TakeClosedTexts();
    // The latest of them (the list is emptied), nullopt when none was closed.
    static std::optional<std::wstring> TakeLastClosedText();
    // The failure messages recorded in Fail mode; the list is emptied.
    static std::vector<std::wstring> TakeFailures();

    // Starts or stops the background thread (the listener does this around
    // every test). Both may be called repeatedly.
    static void Start();
    static void Stop();
    // Back to the default limit and mode, with no recorded texts or failures.
    static void Reset();
    // One look at the open dialogs, as the background thread does it.
    static void ScanOnce();
};

// The gtest listener TestMain installs: resets and starts the watchdog when a
// test starts, stops it when the test ends and reports its failures then.
class DialogWatchdogListener : public testing::EmptyTestEventListener
{
public:
    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;
    void OnTestProgramEnd(const testing::UnitTest& unitTest) override;
};

} // namespace scvtest
