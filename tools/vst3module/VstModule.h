#pragma once

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

// A VST3 module's shared object, opened the way a host opens it: load the library, call its module
// entry, take its factory. Undone in reverse order on destruction.
class VstModule
{
public:
    explicit VstModule (const std::string& bundlePath);
    ~VstModule();

    VstModule (const VstModule&) = delete;
    VstModule& operator= (const VstModule&) = delete;

    // The shared object inside a bundle, for this machine's architecture.
    static std::string sharedObjectPath (const std::string& bundlePath);

    // Empty when the library loaded, its entry function agreed and it handed out a factory.
    const std::string& error() const { return problem; }

    Steinberg::IPluginFactory* factory() const { return pluginFactory; }

    bool exportsSymbol (const char* name) const;

    // Releases the factory and calls the module's exit function; returns what that function returned.
    bool exit();

private:
    void* handle = nullptr;
    Steinberg::IPluginFactory* pluginFactory = nullptr;
    bool entered = false;
    std::string problem;
};
