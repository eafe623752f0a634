// The callback through which the core shows the text of a message box: the
// desktop program opens the box, the command line and the tests collect it.
#pragma once

#include <functional>
#include <string>

namespace tovimo {

using MessageFn = std::function<void(const std::string&)>;

} // namespace tovimo
