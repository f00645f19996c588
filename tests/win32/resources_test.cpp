// The resources linked into zimblet.exe, read from the built program itself
// (run in the program's folder).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/win32/win32_platform.h"
#include "version.h"

namespace {

const HMODULE program =
    LoadLibraryExA(".\\zimblet.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);

// The bytes of resource 1 of a type, empty when there is none.
std::string resource(WORD type) {
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(type));
    return found == nullptr ? std::string()
                            : std::string(static_cast<const char*>(LockResource(LoadResource(program, found))),
                                          SizeofResource(program, found));
}

TEST(ResourcesTest, ManifestAsksForPerMonitorDpiAwarenessWithFallbacks) {
    const std::string manifest = resource(24);  // RT_MANIFEST
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    for (const char* os : {"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "35138b9a-5d96-4fbd-8e2d-a2440225f93a"}) {
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    }
}

TEST(ResourcesTest, CarriesNoIconSoBothIconLoadsYieldNone) {
    ASSERT_NE(program, nullptr) << "zimblet.exe not found in the working directory";
    EXPECT_TRUE(resource(14).empty());  // RT_GROUP_ICON
    EXPECT_TRUE(resource(3).empty());   // RT_ICON
}

TEST(ResourcesTest, VersionMatchesTheProject) {
    const std::string version = resource(16);  // RT_VERSION
    const DWORD signature = 0xFEEF04BD;
    const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    VS_FIXEDFILEINFO info{};
    ASSERT_LE(at + sizeof info, version.size()) << "no fixed file information";
    std::memcpy(&info, version.data() + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, static_cast<DWORD>((ZIMBLET_VERSION_MAJOR << 16) | ZIMBLET_VERSION_MINOR));
    EXPECT_EQ(info.dwFileVersionLS, static_cast<DWORD>(ZIMBLET_VERSION_PATCH << 16));
    EXPECT_EQ(info.dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
