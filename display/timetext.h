// The time text: a count of milliseconds as the timer shows it (days, hours, minutes,
// seconds and a fraction), laid out by DaysMode and SecondsMode of the settings record.
#pragma once

#include <cstdint>

// The count as shown: painted in the time band, used as the minimised window's title and as
// the tray tip. Written under the count lock.
extern char DisplayText[64];
// Width class of the text last formatted into DisplayText; the painter rescales the time font
// when it differs from the class it used last.
extern uint32_t WidthClass;
// Changed texts formatted into DisplayText since the last paint; the painter clears it.
extern uint32_t ChangeCount;

// The longest text is 49:17:02:47.295 (15 characters).
constexpr uint32_t CountTextChars = 15;

struct CountTextResult
{
    uint32_t WidthClass; // rough width of the text: one per field, two for long fields
    uint32_t Changed;    // 1 when the text must be repainted
};

// Writes the text for `count` into `dest` (at least 16 bytes), replacing what
// was there. With a fraction shown the result always counts as changed (the fraction moves on
// every update); otherwise only when the text differs from the old one. When `dest` is
// DisplayText, WidthClass takes the width class and a change adds one to ChangeCount; any
// other buffer (the menu's preset labels) leaves both alone.
CountTextResult FormatCountText(uint32_t count, char* dest);

// A span in the count's short form, whole seconds rounded up: M:SS under an hour, H:MM:SS from
// an hour ("0:30", "5:00", "1:00:00", "24:00:00"). For what is left and for the step of Add
// Time, where a fraction or a day's field would only be noise.
void FormatShortTime(uint32_t milliseconds, char (&dest)[16]);
