// Names and bounds of the timeline's rows for the benchmark report.
#pragma once
#include <string>

#include "host/director.h"

// "sky flashes", "lamp park 2", ...: the action, and the variant when the
// action has more than one row.
std::string timelineRangeName(const TimelineRange& range);
// First demo time of the row (the previous row's end).
int timelineRangeStartMs(const TimelineRange& range);
