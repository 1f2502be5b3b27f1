// The alarm file and folder chooser of the Actions page.
#pragma once

#include <cstdint>

// 1 while the chooser is shown: the counting thread holds back its alarm repetitions, so no
// alarm repeats under an open chooser. Written and read under the count lock.
extern uint32_t ChooserOpen;
