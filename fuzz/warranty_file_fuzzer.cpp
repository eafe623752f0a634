#include "fuzz/warranty_file_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return tovimo::fuzz::WarrantyFileTarget(data, size);
}
