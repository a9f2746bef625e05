#include "platform/core/ProcessStart.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

TEST(ProcessStartSeam, WinExecGoesToTheCurrentStarterWhileTheOverrideLives)
{
    RecordingProcessStarter recorder(42);
    {
        const ScopedProcessStarterOverride override(recorder);
        EXPECT_EQ(WinExec("batch.bat", SW_SHOW_VALUE), 42u);
        EXPECT_EQ(WinExec(nullptr, SW_SHOW_VALUE), WINEXEC_FILE_NOT_FOUND);
    }
    const std::vector<RecordingProcessStarter::Call> expected{{"batch.bat", 5}};
    EXPECT_EQ(recorder.Calls(), expected);
    EXPECT_EQ(&CurrentProcessStarter(), &SystemProcessStarter());
}

} // namespace
} // namespace kw
