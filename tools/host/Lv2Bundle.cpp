#include "Lv2Bundle.h"

#include <lilv/lilv.h>
#include <memory>

namespace Lv2Bundle
{
namespace
{
struct WorldDeleter
{
    void operator() (LilvWorld* world) const { lilv_world_free (world); }
};

struct NodeDeleter
{
    void operator() (LilvNode* node) const { lilv_node_free (node); }
};

using World = std::unique_ptr<LilvWorld, WorldDeleter>;
using Node = std::unique_ptr<LilvNode, NodeDeleter>;

juce::File fileForUri (const LilvNode* uri)
{
    std::unique_ptr<char, decltype (&lilv_free)> path { lilv_file_uri_parse (lilv_node_as_uri (uri), nullptr),
                                                        &lilv_free };
    return path != nullptr ? juce::File (juce::String::fromUTF8 (path.get())) : juce::File();
}
} // namespace

juce::StringArray pluginUris (const juce::File& bundle)
{
    juce::StringArray uris;
    const World world { lilv_world_new() };
    // lilv wants a bundle's URI to end with a slash.
    const auto path = juce::File::addTrailingSeparator (bundle.getFullPathName());
    const Node bundleUri { lilv_new_file_uri (world.get(), nullptr, path.toRawUTF8()) };
    lilv_world_load_bundle (world.get(), bundleUri.get());

    const auto* plugins = lilv_world_get_all_plugins (world.get());

    LILV_FOREACH (plugins, i, plugins)
    uris.add (juce::String::fromUTF8 (lilv_node_as_uri (lilv_plugin_get_uri (lilv_plugins_get (plugins, i)))));

    return uris;
}

juce::File bundleLoadedFor (const juce::String& uri, const juce::StringArray& folders)
{
    const World world { lilv_world_new() };
    const Node path { lilv_new_string (world.get(), folders.joinIntoString (":").toRawUTF8()) };
    lilv_world_set_option (world.get(), LILV_OPTION_LV2_PATH, path.get());
    lilv_world_load_all (world.get());

    const Node pluginUri { lilv_new_uri (world.get(), uri.toRawUTF8()) };

    if (const auto* plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world.get()), pluginUri.get()))
        return fileForUri (lilv_plugin_get_bundle_uri (plugin));

    return {};
}
} // namespace Lv2Bundle
