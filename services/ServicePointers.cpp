#include "services/ServicePointers.h"

namespace vgui2 {

ServicePointers g_services;

}  // namespace vgui2
