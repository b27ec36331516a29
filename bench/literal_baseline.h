// What the job is measured against. The straightforward way: every replay
// read one byte at a time with fgetc, and the page written with one
// open-append-close per fragment after truncating the old one. And the floor:
// only the system calls that a durable all-or-nothing write cannot do
// without, so that the benchmark says how close the job is to the limit.
#pragma once

#include "timelist/run_time_table.h"

namespace chronolist::bench {

void LiteralScanReplays(RunTimeTable& table);
void LiteralWriteTimeListPage(const RunTimeTable& table);

// 199 open/fstat/close, then the page in an unnamed file: one write, fsync,
// linked in under a temporary name, renamed over the page, the folder
// fsync'd. No locks, no permission checks, no clean-up, no error handling.
void DurableFloorGenerate();

}  // namespace chronolist::bench
