// Helpers for tests that drive real windows.
#include "GuiTest.h"
