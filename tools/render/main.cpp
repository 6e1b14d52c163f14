#include "CommandLine.h"
#include "HostedPlugin.h"
#include "PluginInfo.h"
#include "PresetOption.h"
#include "RenderJob.h"
#include "ToolError.h"

#include <iostream>

int main (int argc, char* argv[])
{
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    try
    {
        auto options = CommandLine::parse (arguments);

        if (options.showHelp)
        {
            std::cout << CommandLine::helpText();
            return (int) ExitStatus::success;
        }

        if (options.listPresets)
        {
            std::cout << PresetOption::listing();
            return (int) ExitStatus::success;
        }

        const HostedPlugin::ScopedGuiEnvironment juceEnvironment;

        if (options.presetFile != juce::File())
            options = PresetOption::withValuesFromPresetFile (options);

        if (options.showInfo)
        {
            printPluginInfo (options);
            return (int) ExitStatus::success;
        }

        return (int) runRenderJob (options);
    }
    catch (const ToolError& error)
    {
        std::cerr << "veldranox-render: " << error.what() << std::endl;
        return (int) error.status;
    }
    catch (const std::exception& error)
    {
        std::cerr << "veldranox-render: unexpected failure: " << error.what() << std::endl;
        return (int) ExitStatus::internalFailure;
    }
}
