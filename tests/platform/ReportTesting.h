// moved to tests/support
#include "support/ReportTesting.h"
