#include "options/chooser.h"

uint32_t ChooserOpen;
