// The resources linked into zimblet.exe, read from the built program itself
// (run in the program's folder).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/win32/win32_platform.h"
#include "version.h"

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(".\\zimblet.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "zimblet.exe not found in the working directory";
    }
    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    // The bytes of one resource, empty when there is none.
    std::string resource(LPCSTR name, LPCSTR type) const {
        HRSRC found = FindResourceA(module, name, type);
        if (found == nullptr) {
            return {};
        }
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::string(data, SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

TEST_F(ResourcesTest, ManifestAsksForPerMonitorDpiAwarenessWithFallbacks) {
    const std::string manifest = resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    for (const char* os : {"8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "35138b9a-5d96-4fbd-8e2d-a2440225f93a"}) {
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
    }
}

TEST_F(ResourcesTest, CarriesNoIconSoBothIconLoadsYieldNone) {
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3)), nullptr);   // RT_ICON
}

TEST_F(ResourcesTest, VersionMatchesTheProject) {
    const std::string version = resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    ASSERT_FALSE(version.empty());
    const DWORD signature = 0xFEEF04BD;
    const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    ASSERT_NE(at, std::string::npos);
    VS_FIXEDFILEINFO info{};
    ASSERT_LE(at + sizeof info, version.size());
    std::memcpy(&info, version.data() + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, static_cast<DWORD>((ZIMBLET_VERSION_MAJOR << 16) | ZIMBLET_VERSION_MINOR));
    EXPECT_EQ(info.dwFileVersionLS, static_cast<DWORD>(ZIMBLET_VERSION_PATCH << 16));
    EXPECT_EQ(info.dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
