// libFuzzer entry; FUZZ_TARGET names one of the functions of targets.h.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FUZZ_TARGET(data, size);
    return 0;
}
