// The chart tests draw into images and SVG documents on the offscreen platform.
#include <gtest/gtest.h>

#include "chart/chart_export.h"

int main(int argc, char** argv) {
    kovo::chart::EnsureGuiApplication();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
