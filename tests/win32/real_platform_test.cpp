// The drawing surface against the platform's own GDI (Wine's, when cross-built), and
// the resources linked into zimblet.exe, read from the built program in the working folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/win32/drawing_surface.h"
#include "version.h"

namespace {

TEST(RealPlatformTest, SurfaceRowZeroIsTheTopRowAndBytesAreBlueGreenRedAlpha) {
    DrawingSurface surface{};
    ASSERT_TRUE(createSurface(surface, 5, 4) && surface.pixels != nullptr);
    std::memcpy(surface.pixels + 4 * 2, "\x30\x20\x10\xff", 4);  // column 2 of the first row in memory
    GdiFlush();
    SelectObject(surface.memoryDC, surface.bitmap);
    EXPECT_EQ(GetPixel(surface.memoryDC, 2, 0), RGB(0x10, 0x20, 0x30));  // bottom-up, this would be row 3
}

// The bytes of resource 1 of a type, empty when there is none.
std::string resource(WORD type) {
    static const HMODULE program =
        LoadLibraryExA(".\\zimblet.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(type));
    return found == nullptr ? std::string()
                            : std::string(static_cast<const char*>(LockResource(LoadResource(program, found))),
                                          SizeofResource(program, found));
}

TEST(RealPlatformTest, ProgramIsPerMonitorDpiAwareWithFallbacksCarriesItsIconAndTheProjectVersion) {
    const std::string manifest = resource(24);  // RT_MANIFEST
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);  // what systems before Windows 10 read
    // Icon group 1, the one the window class loads: the icon maker's seven sides (256 written as 0).
    const std::string icons = resource(14);  // RT_GROUP_ICON
    std::string sides;
    for (size_t entry = 6; entry + 14 <= icons.size(); entry += 14) {
        sides += std::to_string(uint8_t(icons[entry])) + " ";
    }
    EXPECT_EQ(sides, "16 24 32 48 64 128 0 ");

    const std::string version = resource(16);  // RT_VERSION
    const DWORD signature = 0xFEEF04BD;
    const size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
    VS_FIXEDFILEINFO info{};
    ASSERT_TRUE(at != std::string::npos && at + sizeof info <= version.size()) << "no fixed file information";
    std::memcpy(&info, version.data() + at, sizeof info);
    EXPECT_EQ(info.dwFileVersionMS, DWORD{(ZIMBLET_VERSION_MAJOR << 16) | ZIMBLET_VERSION_MINOR});
    EXPECT_EQ(info.dwFileVersionLS, DWORD{ZIMBLET_VERSION_PATCH << 16});
    EXPECT_EQ(info.dwFileType, DWORD{VFT_APP});
}

}  // namespace
