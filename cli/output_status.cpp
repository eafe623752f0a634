#include "cli/output_status.h"

#include "cli/commands.h"

#include <iostream>
#include <stdexcept>

namespace tovimo::cli {

int WriteStatus(const std::function<void()>& write) {
    try {
        write();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return kFileError;
    }
    return kDone;
}

} // namespace tovimo::cli
