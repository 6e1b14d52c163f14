#include "VstModule.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace
{
// Linux modules export ModuleEntry/ModuleExit; Windows ones InitDll/ExitDll. Either pair is optional.
using ModuleEntryFunction = bool (*) (void*);
using InitDllFunction = bool (*)();
using ExitFunction = bool (*)();
using GetFactoryFunction = Steinberg::IPluginFactory* (*) ();

#if defined(_WIN32)
constexpr auto architectureFolder = "x86_64-win";
constexpr auto moduleExtension = ".vst3";
constexpr auto pathSeparators = "/\\";

void* openLibrary (const std::string& path)
{
    // The path is ASCII (the build tree's); a host would widen it from UTF-8.
    return LoadLibraryA (path.c_str());
}

std::string openError() { return "LoadLibrary failed with error " + std::to_string (GetLastError()); }

void* symbol (void* handle, const char* name)
{
    return reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (handle), name));
}

void closeLibrary (void* handle) { FreeLibrary (static_cast<HMODULE> (handle)); }
#else
#if defined(__x86_64__)
constexpr auto architectureFolder = "x86_64-linux";
#elif defined(__aarch64__)
constexpr auto architectureFolder = "aarch64-linux";
#else
constexpr auto architectureFolder = "i386-linux";
#endif
constexpr auto moduleExtension = ".so";
constexpr auto pathSeparators = "/";

void* openLibrary (const std::string& path) { return dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL); }

std::string openError() { return dlerror(); }

void* symbol (void* handle, const char* name) { return dlsym (handle, name); }

void closeLibrary (void* handle) { dlclose (handle); }
#endif

template <typename Function>
Function lookUp (void* handle, const char* name)
{
    return handle != nullptr ? reinterpret_cast<Function> (symbol (handle, name)) : nullptr;
}
} // namespace

std::string VstModule::sharedObjectPath (const std::string& bundlePath)
{
    const auto slash = bundlePath.find_last_of (pathSeparators);
    auto name = bundlePath.substr (slash == std::string::npos ? 0 : slash + 1);
    name = name.substr (0, name.rfind (".vst3"));
    return bundlePath + "/Contents/" + architectureFolder + "/" + name + moduleExtension;
}

VstModule::VstModule (const std::string& bundlePath)
{
    handle = openLibrary (sharedObjectPath (bundlePath));

    if (handle == nullptr)
    {
        problem = openError();
        return;
    }

    if (auto moduleEntry = lookUp<ModuleEntryFunction> (handle, "ModuleEntry"))
        entered = moduleEntry (handle);
    else if (auto initDll = lookUp<InitDllFunction> (handle, "InitDll"))
        entered = initDll();
    else
        entered = true;

    if (! entered)
    {
        problem = "the module's entry function returned false";
        return;
    }

    if (auto getFactory = lookUp<GetFactoryFunction> (handle, "GetPluginFactory"))
        pluginFactory = getFactory();

    if (pluginFactory == nullptr)
        problem = "GetPluginFactory is missing or returned no factory";
}

VstModule::~VstModule()
{
    exit();

    if (handle != nullptr)
        closeLibrary (handle);
}

bool VstModule::exportsSymbol (const char* name) const { return lookUp<void*> (handle, name) != nullptr; }

bool VstModule::exit()
{
    if (pluginFactory != nullptr)
        pluginFactory->release();

    pluginFactory = nullptr;

    if (! entered)
        return false;

    entered = false;

    if (auto moduleExit = lookUp<ExitFunction> (handle, "ModuleExit"))
        return moduleExit();

    if (auto exitDll = lookUp<ExitFunction> (handle, "ExitDll"))
        return exitDll();

    return true;
}
