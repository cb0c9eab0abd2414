#include "update/UpdateState.h"

#include <nlohmann/json.hpp>

namespace update {

UpdateState::UpdateState() : manifest(std::make_unique<nlohmann::json>()) {}

UpdateState::~UpdateState() = default;

UpdateState g_updateState;

}  // namespace update
