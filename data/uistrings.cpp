#include "data/uistrings.h"

char* UiStrings;
