#include "ComponentClassId.h"

#include "VstModule.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstring>

std::string audioModuleClassId (const std::string& bundlePath, std::string& error)
{
    VstModule module (bundlePath);

    if (! module.error().empty())
    {
        error = "cannot open " + bundlePath + ": " + module.error();
        return {};
    }

    std::string found;
    int count = 0;
    auto& factory = *module.factory();

    for (Steinberg::int32 i = 0; i < factory.countClasses(); ++i)
    {
        Steinberg::PClassInfo info {};

        if (factory.getClassInfo (i, &info) != Steinberg::kResultOk ||
            std::strncmp (info.category, kVstAudioEffectClass, sizeof (info.category)) != 0)
            continue;

        ++count;
        // FUID spells it as every platform's hosts do: on Windows a TUID's bytes are COM-ordered.
        char hex[33];
        Steinberg::FUID::fromTUID (info.cid).toString (hex);
        found = hex;
    }

    if (count != 1)
    {
        error = bundlePath + "'s factory holds " + std::to_string (count) + " audio module classes, not one";
        return {};
    }

    return found;
}
