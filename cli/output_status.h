// The exit status of an option that writes files (--charts, --report).
#pragma once

#include <functional>

namespace tovimo::cli {

// Runs `write`; the text of an exception it raises goes to the error stream
// and answers kFileError, else kDone.
int WriteStatus(const std::function<void()>& write);

} // namespace tovimo::cli
