#include "app/appstate.h"

uint32_t WindowState;
uint32_t FullScreen;
