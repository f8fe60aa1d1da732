// moved to tests/support
#include "support/PetFixture.h"
