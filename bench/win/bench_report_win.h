// Clocks and the report file shared by the Windows bench programs (not product code).
#pragma once

#include <windows.h>

#include <cstdint>

// Milliseconds on the performance counter, for intervals inside one process.
double BenchNowMs();

// The system clock in 100 ns units since 1601 (the FILETIME scale), as precisely as the
// system gives it.
uint64_t BenchWallClock();

// When this process was created, on the same scale as BenchWallClock.
uint64_t BenchProcessCreation();

// The wall-clock value as nanoseconds since 1970, the scale `date +%s%N` prints.
uint64_t BenchUnixNs(uint64_t wallClock);

// Appends one "name value" line to the report file; the script reads these lines.
void BenchReport(const char* path, const char* name, double value);
void BenchReportInteger(const char* path, const char* name, uint64_t value);

// The folder this program was started from, ending in a backslash.
void BenchOwnFolder(char (&folder)[MAX_PATH]);
