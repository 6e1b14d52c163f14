#include "Lv2PresetBundle.h"

namespace Lv2PresetBundle
{
namespace
{
juce::String quoted (const juce::String& text)
{
    return "\"" + text.replace ("\\", "\\\\").replace ("\"", "\\\"").replace ("\n", "\\n") + "\"";
}

juce::String prefixes()
{
    return "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
           "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n";
}
} // namespace

juce::String manifestTtl (const juce::String& pluginUri, const juce::Array<Preset>& presets)
{
    auto text = prefixes();

    for (const auto& preset : presets)
        text << "\n<" << preset.uri << ">\n"
             << "\ta pset:Preset ;\n"
             << "\tlv2:appliesTo <" << pluginUri << "> ;\n"
             << "\trdfs:seeAlso <" << presetsFileName << "> .\n";

    return text;
}

juce::String presetsTtl (const juce::String& pluginUri, const juce::Array<Preset>& presets)
{
    auto text = prefixes();

    for (const auto& preset : presets)
        text << "\n<" << preset.uri << ">\n"
             << "\ta pset:Preset ;\n"
             << "\tlv2:appliesTo <" << pluginUri << "> ;\n"
             << "\trdfs:label " << quoted (preset.label) << " ;\n"
             << "\trdfs:comment " << quoted (preset.comment) << " ;\n"
             << "\tstate:state [\n"
             << "\t\t<" << pluginUri << ":StateString> " << quoted (preset.state.toBase64Encoding()) << "\n"
             << "\t] .\n";

    return text;
}
} // namespace Lv2PresetBundle
