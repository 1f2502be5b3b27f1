// Helpers for the in-process Windows tests.
#pragma once

#include <windows.h>

// Handles every pending message of this thread the way the program's loop does.
void PumpMessages();

// Pumps messages for about `milliseconds`.
void PumpMessagesFor(DWORD milliseconds);

// Makes GetKeyState(VK_CONTROL) report the key held or released for this thread.
void SetControlHeld(bool held);
