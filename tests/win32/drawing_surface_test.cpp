#include <cstring>

#include "app/win32/drawing_surface.h"
#include "app/win32/overlay_window.h"
#include "fake_win32.h"

namespace {

bool isAllZero(const DrawingSurface& surface) {
    DrawingSurface zero;
    std::memset(&zero, 0, sizeof zero);
    return surface.width == 0 && surface.height == 0 && surface.stride == 0 && surface.memoryDC == nullptr &&
           surface.bitmap == nullptr && surface.pixels == nullptr &&
           std::memcmp(&surface.bitmapInfo, &zero.bitmapInfo, sizeof zero.bitmapInfo) == 0;
}

using CreateSurfaceTest = Win32Test;

TEST_F(CreateSurfaceTest, DescribesATopDown32BitDIBSection) {
    DrawingSurface surface{};

    ASSERT_TRUE(createSurface(surface, 7, 3));

    EXPECT_EQ(surface.width, 7);
    EXPECT_EQ(surface.height, 3);
    EXPECT_EQ(surface.stride, 28);
    EXPECT_EQ(surface.memoryDC, fakeMemoryDC);
    EXPECT_EQ(surface.bitmap, fakeBitmap);
    EXPECT_EQ(surface.pixels, fake.dibMemory.data());

    const BITMAPINFOHEADER& header = fake.dibInfo.bmiHeader;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 7);
    EXPECT_EQ(header.biHeight, -3);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biSizeImage, 0u);
    EXPECT_EQ(header.biXPelsPerMeter, 0);
    EXPECT_EQ(header.biYPelsPerMeter, 0);
    EXPECT_EQ(header.biClrUsed, 0u);
    EXPECT_EQ(header.biClrImportant, 0u);
    const RGBQUAD& entry = fake.dibInfo.bmiColors[0];
    EXPECT_EQ(entry.rgbBlue | entry.rgbGreen | entry.rgbRed | entry.rgbReserved, 0);
    EXPECT_EQ(std::memcmp(&fake.dibInfo, &surface.bitmapInfo, sizeof(BITMAPINFO)), 0);

    EXPECT_EQ(fake.dibDC, fakeMemoryDC);
    EXPECT_EQ(fake.dibUsage, static_cast<UINT>(DIB_RGB_COLORS));
    EXPECT_EQ(fake.dibSection, nullptr);
    EXPECT_EQ(fake.dibOffset, 0u);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"CreateCompatibleDC", "CreateDIBSection", "GdiFlush"}));
}

TEST_F(CreateSurfaceTest, StrideIsFourBytesPerPixelWhateverTheWidth) {
    for (int32_t width : {1, 2, 3, 5, 1023, 1366, 2561}) {
        DrawingSurface surface{};
        ASSERT_TRUE(createSurface(surface, width, 2));
        EXPECT_EQ(surface.stride, width * 4) << width;
    }
}

TEST_F(CreateSurfaceTest, WithoutMemoryDCKeepsTheSizeButHasNoPixels) {
    fake.failMemoryDC = true;
    DrawingSurface surface{};

    EXPECT_FALSE(createSurface(surface, 640, 480));

    EXPECT_EQ(surface.width, 640);
    EXPECT_EQ(surface.height, 480);
    EXPECT_EQ(surface.stride, 2560);
    EXPECT_EQ(surface.memoryDC, nullptr);
    EXPECT_EQ(surface.bitmap, nullptr);
    EXPECT_EQ(surface.pixels, nullptr);
    EXPECT_EQ(fake.count("CreateDIBSection"), 0);
    EXPECT_TRUE(fake.boxes.empty()) << "the caller reports the failure";
}

TEST_F(CreateSurfaceTest, WithoutDIBSectionFreesEverything) {
    fake.failDIBSection = true;
    DrawingSurface surface{};

    EXPECT_FALSE(createSurface(surface, 640, 480));

    EXPECT_TRUE(isAllZero(surface));
    EXPECT_EQ(fake.deletedDCs, std::vector<HDC>{fakeMemoryDC});
    EXPECT_TRUE(fake.deletedObjects.empty());
    EXPECT_EQ(fake.gdiFlushes, 0);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(CreateSurfaceTest, FreeReleasesBitmapAndDCAndZeroes) {
    DrawingSurface surface{};
    ASSERT_TRUE(createSurface(surface, 4, 4));

    freeSurface(surface);

    EXPECT_TRUE(isAllZero(surface));
    EXPECT_EQ(fake.deletedObjects, std::vector<HGDIOBJ>{fakeBitmap});
    EXPECT_EQ(fake.deletedDCs, std::vector<HDC>{fakeMemoryDC});
}

class PresentSurfaceTest : public Win32Test {
protected:
    void SetUp() override {
        Win32Test::SetUp();
        overlayWindow.window = fakeWindow;
        ASSERT_TRUE(createSurface(overlayWindow.surface, 320, 200));
        fake.calls.clear();
    }
};

TEST_F(PresentSurfaceTest, HandsTheWholeSurfaceToTheLayeredWindow) {
    presentSurface(overlayWindow);

    EXPECT_EQ(fake.calls, (std::vector<std::string>{"SelectObject", "ClientToScreen", "GetDC", "UpdateLayeredWindow",
                                                    "SelectObject"}));
    ASSERT_EQ(fake.updates.size(), 1u);
    const LayeredUpdate& update = fake.updates[0];
    EXPECT_EQ(update.window, fakeWindow);
    EXPECT_EQ(update.destinationDC, fakeWindowDC);
    EXPECT_EQ(update.size.cx, 320);
    EXPECT_EQ(update.size.cy, 200);
    EXPECT_EQ(update.sourceDC, fakeMemoryDC);
    EXPECT_EQ(update.source.x, 0);
    EXPECT_EQ(update.source.y, 0);
    EXPECT_EQ(update.key, 0u);
    EXPECT_EQ(update.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(update.blend.BlendFlags, 0);
    EXPECT_EQ(update.blend.SourceConstantAlpha, 255);
    EXPECT_EQ(update.blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_EQ(update.flags, static_cast<DWORD>(ULW_ALPHA));
    EXPECT_EQ(fake.dcWindows, std::vector<HWND>{fakeWindow});

    using Selection = std::pair<HDC, HGDIOBJ>;
    EXPECT_EQ(fake.selections, (std::vector<Selection>{{fakeMemoryDC, fakeBitmap}, {fakeMemoryDC, fakePreviousObject}}));
    EXPECT_TRUE(fake.boxes.empty());
}

struct FailureTextCase {
    DWORD error;
    const char* text;
};

class PresentFailureTextTest : public PresentSurfaceTest, public ::testing::WithParamInterface<FailureTextCase> {};

TEST_P(PresentFailureTextTest, ShowsTheErrorInLowerCaseHex) {
    fake.failLayeredUpdate = true;
    fake.lastError = GetParam().error;

    presentSurface(overlayWindow);

    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].owner, nullptr);
    EXPECT_EQ(fake.boxes[0].text, GetParam().text);
    EXPECT_EQ(fake.boxes[0].caption, "Error");
    EXPECT_EQ(fake.boxes[0].type, 0u);
    // The previous object goes back only after the box is dismissed.
    EXPECT_EQ(fake.calls.back(), "SelectObject");
    EXPECT_EQ(fake.selections.back().second, fakePreviousObject);
}

INSTANTIATE_TEST_SUITE_P(Errors, PresentFailureTextTest,
                         ::testing::Values(FailureTextCase{0x5, "Failed to update window: 0x5"},
                                           FailureTextCase{0x57, "Failed to update window: 0x57"},
                                           FailureTextCase{0x0, "Failed to update window: 0x0"},
                                           FailureTextCase{0x8007000e, "Failed to update window: 0x8007000e"},
                                           FailureTextCase{0xABCDEF, "Failed to update window: 0xabcdef"}));

TEST_F(PresentSurfaceTest, FailureWhileItsBoxIsOpenOpensNoSecondBox) {
    fake.failLayeredUpdate = true;
    fake.lastError = 0x5;
    int nestedPresentations = 0;
    bool insideFirstBox = false;
    // Every mouse move of a drag redraws while the first box's modal loop runs.
    fake.onMessageBox = [&] {
        if (insideFirstBox) {
            return;
        }
        insideFirstBox = true;
        for (; nestedPresentations < 50; ++nestedPresentations) {
            presentSurface(overlayWindow);
        }
        insideFirstBox = false;
    };

    presentSurface(overlayWindow);

    EXPECT_EQ(nestedPresentations, 50);
    EXPECT_EQ(fake.count("UpdateLayeredWindow"), 51);
    EXPECT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.count("SelectObject"), 2 * 51) << "every presentation puts the previous object back";
}

TEST_F(PresentSurfaceTest, FailureAfterTheBoxWasDismissedIsReportedAgain) {
    fake.failLayeredUpdate = true;
    fake.lastError = 0x5;
    presentSurface(overlayWindow);
    fake.lastError = 0x6;
    presentSurface(overlayWindow);

    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[1].text, "Failed to update window: 0x6");
}

}  // namespace
