// Any bytes as config.cfg: the reader reaches the end and leaves every field a float.
#include "config/Cfgread_un.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    ConfigRecord config = DefaultConfig;
    ReadConfigFile(file, config);
    std::fclose(file);
    return 0;
}
