#pragma once

#include "syntax/SECEditArchiveReader.h"
#include "syntax/SECEditArchiveWriter.h"
#include "syntax/SECEditLangConfig.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// What must hold for any bytes offered as an archive: reading never runs out
// of bounds (the sanitizers watch that), a rejected archive leaves the
// configuration as it was, and an accepted one writes bytes that read back
// into a configuration writing the very same bytes. Answers false on a breach.
inline bool ArchivePropertyHolds(std::span<const std::uint8_t> bytes)
{
    struct Release
    {
        void operator()(SECEditLangConfig* config) const { config->Release(); }
    };
    using Config = std::unique_ptr<SECEditLangConfig, Release>;
    const auto archiveOf = [](const SECEditLangConfig& config) {
        SECEditArchiveWriter writer;
        config.Serialize(writer);
        return writer.TakeBytes();
    };

    Config config(new SECEditLangConfig());
    const std::vector<std::uint8_t> before = archiveOf(*config);
    SECEditArchiveReader reader(bytes);
    if (!config->Serialize(reader))
        return archiveOf(*config) == before;

    // Exercise the queries the colouring asks, over the archive's own text.
    std::uint16_t group = 0;
    const std::size_t units = bytes.size() / 2;
    std::vector<char16_t> text(units);
    for (std::size_t i = 0; i < units; ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    for (std::size_t i = 0; i < units && i < 64; ++i)
    {
        const auto available = static_cast<int>(units - i);
        config->ClassifyWord(std::u16string_view(text.data() + i, units - i), group);
        if (group >= config->GetColorGroupCount())
            return false;
        const SECEditDelimiter* found = config->FindDelimiter(text.data() + i, available, 0, DelimiterMode::Any);
        if (found && found->group >= config->GetColorGroupCount())
            return false;
        config->IsCharInClass(text[i], static_cast<CharClass>(i % 6));
    }

    const std::vector<std::uint8_t> written = archiveOf(*config);
    Config copy(new SECEditLangConfig());
    SECEditArchiveReader again(written);
    return copy->Serialize(again) && again.AtEnd() && archiveOf(*copy) == written;
}
