#include "WorkArea.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

RECT CheckedWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& work = info.rcWork;
    if (const char* asked = std::getenv("YIELDORA_WORKAREA")) {
        std::istringstream numbers(asked);
        LONG left = 0;
        LONG top = 0;
        LONG width = 0;
        LONG height = 0;
        numbers >> left >> top >> width >> height;
        EXPECT_EQ((std::vector<LONG>{work.left, work.top, work.right, work.bottom}),
                  (std::vector<LONG>{left, top, left + width, top + height}))
            << "the monitor's work area is not the one this run asked for";
    }
    return work;
}
