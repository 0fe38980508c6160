#include "core/MainWindowFace.h"

bool g_bAppClosing = false;
