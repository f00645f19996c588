// The scale the X resources ask for: only a whole multiple of 96 dpi scales.

#include <gtest/gtest.h>

#include "app/x11/xft_scale.h"

TEST(XftScale, WholeMultiplesOf96ScaleAnythingElseIsOneToOne) {
    EXPECT_EQ(scaleFromResources("Xcursor.size:\t24\nXft.dpi:\t192\nXft.hinting:\t1\n"), 240);
    EXPECT_EQ(scaleFromResources("Xft.dpi:288"), 360);
    EXPECT_EQ(scaleFromResources("Xft.dpi:\t144\n"), 120);
    EXPECT_EQ(scaleFromResources("Xft.dpi:\t96\n"), 120);
    EXPECT_EQ(scaleFromResources("Xft.dpi:\t1920\n"), 120);  // beyond any screen
    EXPECT_EQ(scaleFromResources("Xft.dpi:\tlarge\n"), 120);
    EXPECT_EQ(scaleFromResources("Xft.dpix:\t192\n*dpi:\t192\n"), 120);
    EXPECT_EQ(scaleFromResources(""), 120);
    EXPECT_EQ(scaleFromResources(nullptr), 120);
}
