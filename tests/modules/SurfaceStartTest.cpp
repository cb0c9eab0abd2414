// Bringing the surface up and down: without a display it must fail with one
// line on standard error instead of running invisibly on a headless driver;
// with a driver it registers itself and its event wait with the module, and
// takes both back when it shuts down. Its own executable, because SDL can be
// started only once per test this way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "modules/updvgui2/ModuleServices.h"
#include "modules/updvgui2/Surface.h"
#include "tests/modules/ScopedEnv.h"

// SDL talks to the session bus when its video comes up and keeps a buffer of
// libdbus for good; starting and stopping video repeatedly, as this test
// does, leaves that one allocation behind. It is not ours to free.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

using testsupport::ScopedEnv;

namespace {

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(SurfaceStart, WithoutDisplayOrDriverFailsWithOneLine) {
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    IEventWaiter* before = CurrentEventWaiter();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TheSurfaceImpl().Init());
    std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LineCount(diagnostics), 1) << diagnostics;
    EXPECT_NE(diagnostics.find("display"), std::string::npos) << diagnostics;
    EXPECT_EQ(ModuleSurface(), nullptr);
    EXPECT_EQ(CurrentEventWaiter(), before);
    EXPECT_FALSE(TheSurfaceImpl().IsInitialized());
}

TEST(SurfaceStart, UnreachableDisplayDoesNotFallBackToHeadless) {
    ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
    ScopedEnv display("DISPLAY", ":97");
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TheSurfaceImpl().Init());
    std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(LineCount(diagnostics), 1) << diagnostics;
    EXPECT_EQ(ModuleSurface(), nullptr);
}

TEST(SurfaceStart, ExplicitDriverRegistersSurfaceAndWaitUntilShutdown) {
    ScopedEnv driver("SDL_VIDEODRIVER", "offscreen");
    IEventWaiter* fallbackWaiter = CurrentEventWaiter();
    ASSERT_TRUE(TheSurfaceImpl().Init());
    EXPECT_TRUE(TheSurfaceImpl().Init());
    EXPECT_EQ(ModuleSurface(), &TheSurface());
    EXPECT_NE(CurrentEventWaiter(), fallbackWaiter);

    TheSurface().Shutdown();
    EXPECT_EQ(ModuleSurface(), nullptr);
    EXPECT_EQ(CurrentEventWaiter(), fallbackWaiter);
    // Calls after shutdown are harmless.
    TheSurface().RunFrame();
    TheSurface().PaintTraverse(vgui2::kNoPanel);
    TheSurface().Shutdown();

    // And it comes up again.
    ASSERT_TRUE(TheSurfaceImpl().Init());
    EXPECT_EQ(ModuleSurface(), &TheSurface());
    TheSurface().Shutdown();
}

}  // namespace
