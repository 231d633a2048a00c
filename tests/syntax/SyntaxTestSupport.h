#pragma once

#include "engine/IMessage.h"
#include "engine/IObserver.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/LangConfigResources.h"
#include "syntax/SECEditArchiveWriter.h"
#include "syntax/SECEditLangConfig.h"

#include <memory>
#include <string>
#include <vector>

// Owns one reference to a configuration.
struct ReleaseConfig
{
    void operator()(SECEditLangConfig* config) const { config->Release(); }
};
using ConfigPtr = std::unique_ptr<SECEditLangConfig, ReleaseConfig>;

inline ConfigPtr NewConfig()
{
    return ConfigPtr(new SECEditLangConfig());
}

// A configuration loaded from a built-in resource the way the program does it.
inline ConfigPtr LoadBuiltIn(int resourceId)
{
    ConfigPtr config = NewConfig();
    LangConfigResourceLoader loader(resourceId);
    if (!loader.Load(*config))
        return nullptr;
    return config;
}

inline std::vector<std::uint8_t> ArchiveOf(const SECEditLangConfig& config)
{
    SECEditArchiveWriter writer;
    config.Serialize(writer);
    return writer.TakeBytes();
}

inline std::vector<std::uint8_t> ResourceBytes(int resourceId)
{
    const auto bytes = FindLangConfigResource(resourceId);
    return {bytes.begin(), bytes.end()};
}

// Records what a subject tells it.
class RecordingObserver : public IObserver
{
public:
    void OnUpdate(ISubject* subject, IMessage* message) override
    {
        subjects.push_back(subject);
        kinds.push_back(message ? message->GetMessageId() : 0);
    }
    std::vector<ISubject*> subjects;
    std::vector<unsigned int> kinds;
};
