#include "fuzz/likelihood_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return tovimo::fuzz::LikelihoodTarget(data, size);
}
