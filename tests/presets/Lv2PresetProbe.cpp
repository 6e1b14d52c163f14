#include "Lv2PresetProbe.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <map>
#include <string>

namespace
{
// The URID map a host hands its plug-ins: one number per URI, for the life of the host.
struct UridMap
{
    std::map<std::string, LV2_URID> ids;

    static LV2_URID map (LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& ids = static_cast<UridMap*> (handle)->ids;
        return ids.emplace (uri, LV2_URID (ids.size() + 1)).first->second;
    }
};

struct NodeDeleter
{
    void operator() (LilvNode* node) const { lilv_node_free (node); }
};
using Node = std::unique_ptr<LilvNode, NodeDeleter>;

struct StateDeleter
{
    void operator() (LilvState* state) const { lilv_state_free (state); }
};
using State = std::unique_ptr<LilvState, StateDeleter>;

constexpr int32_t maxBlockLength = 512;
} // namespace

struct Lv2PresetProbe::Impl
{
    UridMap uridMap;
    LV2_URID_Map mapFeatureData { &uridMap, &UridMap::map };
    juce::String stateKey;

    // What JUCE's LV2 wrapper requires of a host: a URID map, bounded block lengths and the largest one.
    LV2_Options_Option options[2] {};
    LV2_Feature mapFeature { LV2_URID__map, &mapFeatureData };
    LV2_Feature boundedFeature { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    LV2_Feature optionsFeature { LV2_OPTIONS__options, options };
    const LV2_Feature* features[4] { &mapFeature, &boundedFeature, &optionsFeature, nullptr };

    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    juce::String problem;

    ~Impl()
    {
        if (instance != nullptr)
            lilv_instance_free (instance);
        lilv_world_free (world);
    }
};

Lv2PresetProbe::Lv2PresetProbe (const juce::StringArray& folders, const juce::String& pluginUri)
    : impl (std::make_unique<Impl>())
{
    auto& d = *impl;
    d.stateKey = pluginUri + ":StateString";
    d.options[0] = { LV2_OPTIONS_INSTANCE,
                     0,
                     UridMap::map (&d.uridMap, LV2_BUF_SIZE__maxBlockLength),
                     sizeof (maxBlockLength),
                     UridMap::map (&d.uridMap, LV2_ATOM__Int),
                     &maxBlockLength };

    const Node path { lilv_new_string (d.world, folders.joinIntoString (":").toRawUTF8()) };
    lilv_world_set_option (d.world, LILV_OPTION_LV2_PATH, path.get());
    lilv_world_load_all (d.world);

    const Node uri { lilv_new_uri (d.world, pluginUri.toRawUTF8()) };
    d.plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (d.world), uri.get());

    if (d.plugin == nullptr)
    {
        d.problem = "lilv finds no plug-in " + pluginUri + " in " + folders.joinIntoString (":");
        return;
    }

    d.instance = lilv_plugin_instantiate (d.plugin, 48000.0, d.features);

    if (d.instance == nullptr)
        d.problem = "lilv cannot make an instance of " + pluginUri;
}

Lv2PresetProbe::~Lv2PresetProbe() = default;

juce::String Lv2PresetProbe::error() const { return impl->problem; }

std::vector<Lv2PresetProbe::Preset> Lv2PresetProbe::presets() const
{
    std::vector<Preset> found;
    auto& d = *impl;

    if (d.plugin == nullptr)
        return found;

    const Node presetClass { lilv_new_uri (d.world, LV2_PRESETS__Preset) };
    auto* related = lilv_plugin_get_related (d.plugin, presetClass.get());

    LILV_FOREACH (nodes, i, related)
    {
        const auto* presetUri = lilv_nodes_get (related, i);
        lilv_world_load_resource (d.world, presetUri);
        const State state { lilv_state_new_from_world (d.world, &d.mapFeatureData, presetUri) };
        const auto* label = state != nullptr ? lilv_state_get_label (state.get()) : nullptr;
        found.push_back ({ juce::String::fromUTF8 (lilv_node_as_uri (presetUri)),
                           label != nullptr ? juce::String::fromUTF8 (label) : juce::String() });
    }

    lilv_nodes_free (related);
    return found;
}

bool Lv2PresetProbe::apply (const juce::String& presetUri)
{
    auto& d = *impl;

    if (d.instance == nullptr)
        return false;

    const Node uri { lilv_new_uri (d.world, presetUri.toRawUTF8()) };
    lilv_world_load_resource (d.world, uri.get());
    const State state { lilv_state_new_from_world (d.world, &d.mapFeatureData, uri.get()) };

    if (state == nullptr)
        return false;

    lilv_state_restore (state.get(), d.instance, nullptr, nullptr, 0, d.features);
    return true;
}

juce::MemoryBlock Lv2PresetProbe::savedBlob() const
{
    auto& d = *impl;
    juce::MemoryBlock blob;

    if (d.instance == nullptr)
        return blob;

    const auto* stateInterface =
        static_cast<const LV2_State_Interface*> (lilv_instance_get_extension_data (d.instance, LV2_STATE__interface));

    if (stateInterface == nullptr || stateInterface->save == nullptr)
        return blob;

    struct Capture
    {
        LV2_URID key, stringType;
        juce::String text;
        bool found = false;
    } capture { UridMap::map (&d.uridMap, d.stateKey.toRawUTF8()), UridMap::map (&d.uridMap, LV2_ATOM__String), {} };

    const auto store =
        [] (LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
        -> LV2_State_Status
    {
        auto& c = *static_cast<Capture*> (handle);
        if (key == c.key && type == c.stringType)
        {
            // The wrapper stores the text with its terminating null.
            const auto* text = static_cast<const char*> (value);
            const auto length = size > 0 && text[size - 1] == '\0' ? size - 1 : size;
            c.text = juce::String::fromUTF8 (text, (int) length);
            c.found = true;
        }
        return LV2_STATE_SUCCESS;
    };

    stateInterface->save (lilv_instance_get_handle (d.instance), store, &capture, LV2_STATE_IS_POD, d.features);

    if (capture.found)
        blob.fromBase64Encoding (capture.text);

    return blob;
}
