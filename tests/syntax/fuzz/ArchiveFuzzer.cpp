// libFuzzer target for the archive reader (built with clang when available).
#include "ArchiveProperty.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!ArchivePropertyHolds(std::span<const std::uint8_t>(data, size)))
        __builtin_trap();
    return 0;
}
