// The tool's options: "--name value" pairs, each allowed once, checked
// against the options a command knows and the ones it needs.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qlmrelease {

using Options = std::map<std::string, std::string>;

// Fills options from the arguments after the command name; false with a
// one-line reason for an unknown or repeated option, a missing value or a
// missing required option.
bool ParseOptions(const std::vector<std::string>& arguments, const std::vector<std::string>& required,
                  const std::vector<std::string>& optional, Options& options, std::string& reason);

// The value of an option, empty when it was not given.
std::string ValueOf(const Options& options, const std::string& name);

}  // namespace qlmrelease
