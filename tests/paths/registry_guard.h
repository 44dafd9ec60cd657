// The guard moved to the shared test helpers; kept here for its older users.
#pragma once

#include "support/registry_guard.h"
