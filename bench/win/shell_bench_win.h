// The in-process bench of the real Mivo shell (bench_mivo_shell.exe). Not product code.
#pragma once

#include <windows.h>

// Starts the real timer the way Mivo.exe does, with `arguments` after the program's name and
// the data folder pinned to the folder this program lies in. False when it would not start.
bool StartTimerHere(const char* arguments);

// Handles every pending message the way the program's loop does.
void PumpPending();
// Pumps messages for about `milliseconds`.
void PumpFor(DWORD milliseconds);

// Times the real PaintDisplay of the main window at 800 x 600, driven the ways the program
// drives it, then the same GDI steps one by one; writes the figures to `report`.
int MeasurePaints(const char* report, int rounds, double roundMs);

// Times PickRandomSound on a folder of 10,000 sound files and the way from a time-up to its
// sound starting; writes the figures to `report`.
int MeasureAlarm(const char* report);
