#include "ComponentClassId.h"

#include "VstModule.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdio>
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
        found.clear();
        for (const auto byte : info.cid)
        {
            char hex[3];
            std::snprintf (hex, sizeof (hex), "%02X", static_cast<unsigned> (static_cast<unsigned char> (byte)));
            found += hex;
        }
    }

    if (count != 1)
    {
        error = bundlePath + "'s factory holds " + std::to_string (count) + " audio module classes, not one";
        return {};
    }

    return found;
}
