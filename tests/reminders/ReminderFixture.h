// moved to tests/support
#include "support/ReminderFixture.h"
