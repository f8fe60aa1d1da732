// moved to tests/support
#include "support/BoundTesting.h"
