// moved to tests/support
#include "support/TestWindows.h"
