// A shared library that loads but exports no interface factory.
#include "services/VGuiTypes.h"

UPD_EXPORT int NotTheFactory() { return 0; }
