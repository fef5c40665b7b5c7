// The test harness itself: private registries and the virtual display.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "PrivateRegistry.h"

namespace {

const char* kMarkerKey = "Software\\HarnessMarker";

// Both tests write a marker and expect to find none beforehand, so whichever
// runs second fails if the registry of one leaks into the other.
void ExpectCleanRegistryThenMark()
{
    PrivateRegistry registry;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMarkerKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMarkerKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix"))
        << "the prefix's own hotfix keys must not be visible";
    WriteSz(HKEY_LOCAL_MACHINE, kMarkerKey, "v", "1");
    WriteSz(HKEY_CURRENT_USER, kMarkerKey, "v", "1");
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, kMarkerKey, "v").Data, std::string("1\0", 2));
}

}  // namespace

TEST(PrivateRegistry, FirstTestSeesNoKeysOfAnother) { ExpectCleanRegistryThenMark(); }
TEST(PrivateRegistry, SecondTestSeesNoKeysOfAnother) { ExpectCleanRegistryThenMark(); }

TEST(PrivateRegistry, RealRegistryIsBackAfterwards)
{
    { PrivateRegistry registry; WriteSz(HKEY_LOCAL_MACHINE, kMarkerKey, "v", "x"); }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMarkerKey));
    // The prefix's own hotfix key is visible again once the mapping is gone.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
}

TEST(VirtualDisplay, WindowOpensOnTheFixtureDisplay)
{
    const char* displayFile = std::getenv("PS_DISPLAY_FILE");
    ASSERT_NE(displayFile, nullptr);
    std::ifstream in(displayFile);
    std::string number;
    in >> number;
    ASSERT_FALSE(number.empty()) << "the fixture started no display";
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(std::string(display), ":" + number);

    HWND window = CreateWindowExA(0, "STATIC", "harness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                  10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
    ASSERT_NE(window, nullptr);
    RECT rect{};
    EXPECT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.right - rect.left, 200);
    DestroyWindow(window);
}
