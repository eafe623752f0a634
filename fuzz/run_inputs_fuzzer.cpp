#include "fuzz/run_inputs_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return tovimo::fuzz::RunInputsTarget(data, size);
}
