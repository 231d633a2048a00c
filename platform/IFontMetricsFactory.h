#pragma once

#include "platform/FontDescription.h"
#include "platform/IFontMetrics.h"

#include <memory>

// Builds metrics for a font description; the program measures real fonts,
// tests use fixed numbers.
class IFontMetricsFactory
{
public:
    virtual ~IFontMetricsFactory() = default;
    virtual std::unique_ptr<IFontMetrics> CreateMetrics(const FontDescription& font) = 0;
};
