// The straightforward way to do the job, kept only to measure against: every
// replay read one byte at a time with fgetc, and the page written with one
// open-append-close per fragment after truncating the old one.
#pragma once

#include "timelist/run_time_table.h"

namespace chronolist::bench {

void LiteralScanReplays(RunTimeTable& table);
void LiteralWriteTimeListPage(const RunTimeTable& table);

}  // namespace chronolist::bench
