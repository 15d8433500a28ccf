#include "engine/ZoomSteps.h"

#include <gtest/gtest.h>

TEST(ZoomSteps, ZoomInStopsAtFitWidthThenGoesOnToActualSize)
{
    TZoomStep s = ZoomInStep(90, 70, 95);
    EXPECT_EQ(s.mode, zfitWidth);
    EXPECT_EQ(s.zoom, 95);
    EXPECT_TRUE(s.resetLeft);
    EXPECT_FALSE(s.resetTop);
    s = ZoomInStep(s.zoom, 70, 95);
    EXPECT_EQ(s.mode, zActualSize);
    EXPECT_EQ(s.zoom, 100);
}

TEST(ZoomSteps, FitWidthComesBeforeFitPageWhenAStepPassesBoth)
{
    TZoomStep s = ZoomInStep(76, 90, 80);
    EXPECT_EQ(s.mode, zfitWidth);
    s = ZoomInStep(76, 80, 120);
    EXPECT_EQ(s.mode, zfitPage);
    EXPECT_EQ(s.zoom, 80);
    EXPECT_TRUE(s.resetTop);
    s = ZoomOutStep(130, 110, 126);
    EXPECT_EQ(s.mode, zfitWidth);
    EXPECT_EQ(s.zoom, 126);
    s = ZoomOutStep(126, 125.5, 126);
    EXPECT_EQ(s.mode, zfitPage);
    EXPECT_EQ(s.zoom, 125.5);
    s = ZoomOutStep(126, 110, 126);
    EXPECT_EQ(s.mode, zCustom) << "a fit zoom below the next step is not a stop";
    EXPECT_EQ(s.zoom, 125);
}

TEST(ZoomSteps, TableStepsAndLimits)
{
    struct Case {
        double old;
        bool in;
        double expected;
    };
    // Fit zooms out of the way.
    for (const Case &c :
         {Case{5, false, 5}, Case{7, false, 5}, Case{10, false, 5}, Case{11, false, 10}, Case{100, false, 75},
          Case{101, false, 100}, Case{10000, false, 8000}, Case{20000, false, 10000}, Case{10000, true, 10000},
          Case{9000, true, 10000}, Case{5, true, 10}, Case{100, true, 125}, Case{99.5, true, 100}}) {
        const TZoomStep s = c.in ? ZoomInStep(c.old, 1e9, 1e9) : ZoomOutStep(c.old, -1, -1);
        EXPECT_EQ(s.zoom, c.expected) << (c.in ? "in from " : "out from ") << c.old;
        EXPECT_EQ(s.mode, c.expected == 100 ? zActualSize : zCustom);
    }
}
