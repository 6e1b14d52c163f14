#include "VstModule.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/vsttypes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#if VELDRANOX_JUCE_MAJOR_VERSION >= 8
#include "public.sdk/source/vst/moduleinfo/moduleinfoparser.h"
#endif

using namespace Steinberg;

namespace
{
constexpr auto audioModuleClass = "Audio Module Class";
constexpr auto controllerClass = "Component Controller Class";
constexpr auto compatibilityClass = "Plugin Compatibility Class";

// JUCE 8 registers a compatibility class of its own beside the plug-in's two, and writes the factory's
// description into the bundle as moduleinfo.json, which hosts read before they load the module.
constexpr bool expectCompatibilityClass = VELDRANOX_JUCE_MAJOR_VERSION >= 8;
constexpr bool expectModuleInfo = VELDRANOX_JUCE_MAJOR_VERSION >= 8;

// The SDK version each class reports is the one carried by the JUCE the module was built with.
constexpr const char* expectedSdkVersion = VELDRANOX_JUCE_MAJOR_VERSION >= 8 ? "VST 3.7.12" : "VST 3.7.2";

// What a host calls first and last on the module of this platform.
#if defined(_WIN32)
constexpr auto moduleEntry = "InitDll";
constexpr auto moduleExit = "ExitDll";
#else
constexpr auto moduleEntry = "ModuleEntry";
constexpr auto moduleExit = "ModuleExit";
#endif

using ClassId = std::array<std::uint8_t, 16>;

// A class ID as its four 32-bit words, each most significant byte first: the last two are the
// manufacturer code and the plug-in code. Outside Windows a TUID holds exactly these bytes; on Windows it
// is COM-ordered, and FUID reads the same four words back from it, so both compare to one table.
constexpr ClassId componentClassId { 0xAB, 0xCD, 0xEF, 0x01, 0x91, 0x82, 0xFA, 0xEB,
                                     'Y',  'r',  'v',  'n',  'V',  'd',  'n',  'x' };
constexpr ClassId controllerClassId { 0xAB, 0xCD, 0xEF, 0x01, 0x12, 0x34, 0xAB, 0xCD,
                                      'Y',  'r',  'v',  'n',  'V',  'd',  'n',  'x' };

ClassId toClassId (const TUID cid)
{
    const auto fuid = FUID::fromTUID (cid);
    const std::array<uint32, 4> words { fuid.getLong1(), fuid.getLong2(), fuid.getLong3(), fuid.getLong4() };
    ClassId id {};

    for (size_t i = 0; i < id.size(); ++i)
        id[i] = std::uint8_t (words[i / 4] >> (8 * (3 - i % 4)));

    return id;
}

uint32 wordOf (const ClassId& id, size_t word)
{
    uint32 value = 0;

    for (size_t i = 4 * word; i < 4 * word + 4; ++i)
        value = (value << 8) | id[i];

    return value;
}

void toTuid (const ClassId& id, TUID cid)
{
    FUID (wordOf (id, 0), wordOf (id, 1), wordOf (id, 2), wordOf (id, 3)).toTUID (cid);
}

std::u16string toUtf16 (const char16* text) { return std::u16string (reinterpret_cast<const char16_t*> (text)); }

#if VELDRANOX_JUCE_MAJOR_VERSION >= 8
// Class IDs as moduleinfo.json spells them: 32 upper-case hex digits, byte by byte.
std::string toHex (const ClassId& id)
{
    std::ostringstream text;

    for (auto byte : id)
        text << std::uppercase << std::hex << std::setw (2) << std::setfill ('0') << int (byte);

    return text.str();
}
#endif

std::string moduleInfoPath() { return std::string (VELDRANOX_BUNDLE_PATH) + "/Contents/Resources/moduleinfo.json"; }

std::u16string asciiToUtf16 (const std::string& text) { return std::u16string (text.begin(), text.end()); }

class Factory : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { module = std::make_unique<VstModule> (VELDRANOX_BUNDLE_PATH); }
    static void TearDownTestSuite() { module.reset(); }

    void SetUp() override { ASSERT_EQ (module->error(), "") << VstModule::sharedObjectPath (VELDRANOX_BUNDLE_PATH); }

    static IPluginFactory& factory() { return *module->factory(); }

    static std::vector<PClassInfo2> classes()
    {
        FUnknownPtr<IPluginFactory2> factory2 (module->factory());
        std::vector<PClassInfo2> result;

        if (factory2 == nullptr)
            return result;

        for (int32 i = 0; i < factory2->countClasses(); ++i)
        {
            PClassInfo2 info;

            if (factory2->getClassInfo2 (i, &info) == kResultOk)
                result.push_back (info);
        }

        return result;
    }

    static inline std::unique_ptr<VstModule> module;
};

struct PluginClass
{
    const char* category;
    ClassId id;
};

constexpr PluginClass pluginClasses[] = { { audioModuleClass, componentClassId },
                                          { controllerClass, controllerClassId } };
} // namespace

TEST (FactoryModule, EntersHandsOutAFactoryAndExits)
{
    VstModule module (VELDRANOX_BUNDLE_PATH);
    ASSERT_EQ (module.error(), "");
    EXPECT_TRUE (module.exportsSymbol ("GetPluginFactory"));
    EXPECT_TRUE (module.exportsSymbol (moduleEntry));
    EXPECT_TRUE (module.exportsSymbol (moduleExit));
    EXPECT_TRUE (module.exit());
}

TEST_F (Factory, NamesTheVendorWithUnicodeStringsAndNoAddresses)
{
    PFactoryInfo info;
    ASSERT_EQ (factory().getFactoryInfo (&info), kResultOk);

    EXPECT_STREQ (info.vendor, "Yrven");
    EXPECT_STREQ (info.url, "");
    EXPECT_STREQ (info.email, "");
    EXPECT_EQ (info.flags, 16);
    EXPECT_EQ (info.flags, PFactoryInfo::kUnicode);
}

TEST_F (Factory, RegistersTheAudioModuleAndItsController)
{
    const auto all = classes();
    ASSERT_EQ (all.size(), size_t (factory().countClasses()));
    EXPECT_EQ (all.size(), expectCompatibilityClass ? 3u : 2u);

    for (const auto& expected : pluginClasses)
    {
        SCOPED_TRACE (expected.category);
        const auto found =
            std::find_if (all.begin(),
                          all.end(),
                          [&] (const PClassInfo2& info) { return std::string (info.category) == expected.category; });
        ASSERT_NE (found, all.end());

        EXPECT_EQ (toClassId (found->cid), expected.id);
        EXPECT_STREQ (found->name, "VELDRANOX");
        EXPECT_STREQ (found->subCategories, "Fx");
        EXPECT_STREQ (found->vendor, "Yrven");
        EXPECT_STREQ (found->version, "1.0.0");
        EXPECT_STREQ (found->sdkVersion, kVstVersionString);
        EXPECT_STREQ (found->sdkVersion, expectedSdkVersion);
        EXPECT_EQ (found->classFlags, 0u);
        EXPECT_EQ (found->cardinality, PClassInfo::kManyInstances);
    }
}

TEST_F (Factory, CompatibilityClassComesOnlyWithJuce8)
{
    const auto all = classes();
    const auto found =
        std::find_if (all.begin(),
                      all.end(),
                      [] (const PClassInfo2& info) { return std::string (info.category) == compatibilityClass; });

    ASSERT_EQ (found != all.end(), expectCompatibilityClass);

    if (found != all.end())
    {
        EXPECT_STREQ (found->subCategories, "");
    }
}

TEST_F (Factory, UnicodeClassInfoMatchesThePlainOne)
{
    FUnknownPtr<IPluginFactory3> factory3 (module->factory());
    ASSERT_NE (factory3, nullptr);
    const auto all = classes();

    for (int32 i = 0; i < factory3->countClasses(); ++i)
    {
        PClassInfoW wide;
        ASSERT_EQ (factory3->getClassInfoUnicode (i, &wide), kResultOk);
        const auto& plain = all[size_t (i)];
        SCOPED_TRACE (plain.category);

        EXPECT_EQ (toClassId (wide.cid), toClassId (plain.cid));
        EXPECT_STREQ (wide.category, plain.category);
        EXPECT_EQ (toUtf16 (wide.name), asciiToUtf16 (plain.name));
        EXPECT_STREQ (wide.subCategories, plain.subCategories);
        EXPECT_EQ (toUtf16 (wide.vendor), asciiToUtf16 (plain.vendor));
        EXPECT_EQ (toUtf16 (wide.version), asciiToUtf16 (plain.version));
        EXPECT_EQ (toUtf16 (wide.sdkVersion), asciiToUtf16 (plain.sdkVersion));
        EXPECT_EQ (wide.classFlags, plain.classFlags);
        EXPECT_EQ (wide.cardinality, plain.cardinality);
    }
}

TEST_F (Factory, CreatesEachClassByItsIdAndNothingElse)
{
    for (const auto& pluginClass : pluginClasses)
    {
        SCOPED_TRACE (pluginClass.category);
        TUID cid;
        toTuid (pluginClass.id, cid);

        void* object = nullptr;
        ASSERT_EQ (factory().createInstance (cid, FUnknown::iid, &object), kResultOk);
        ASSERT_NE (object, nullptr);
        static_cast<FUnknown*> (object)->release();
    }

    TUID unknown {};
    void* object = nullptr;
    EXPECT_NE (factory().createInstance (unknown, FUnknown::iid, &object), kResultOk);
    EXPECT_EQ (object, nullptr);
}

TEST_F (Factory, ModuleInfoComesOnlyWithJuce8AndAgreesWithTheFactory)
{
    std::ifstream file (moduleInfoPath());
    ASSERT_EQ (file.is_open(), expectModuleInfo) << moduleInfoPath();

#if VELDRANOX_JUCE_MAJOR_VERSION >= 8
    std::ostringstream text;
    text << file.rdbuf();
    std::ostringstream parseErrors;
    const auto info = ModuleInfoLib::parseJson (text.str(), &parseErrors);
    ASSERT_TRUE (info.has_value()) << parseErrors.str();

    PFactoryInfo factoryInfo;
    ASSERT_EQ (factory().getFactoryInfo (&factoryInfo), kResultOk);
    EXPECT_EQ (info->name, "VELDRANOX");
    EXPECT_EQ (info->version, "1.0.0");
    EXPECT_EQ (info->factoryInfo.vendor, factoryInfo.vendor);
    EXPECT_EQ (info->factoryInfo.url, factoryInfo.url);
    EXPECT_EQ (info->factoryInfo.email, factoryInfo.email);
    EXPECT_EQ (info->factoryInfo.flags, factoryInfo.flags);

    const auto all = classes();
    ASSERT_EQ (info->classes.size(), all.size());

    for (const auto& live : all)
    {
        SCOPED_TRACE (live.category);
        const auto id = toHex (toClassId (live.cid));
        const auto listed =
            std::find_if (info->classes.begin(), info->classes.end(), [&] (const auto& c) { return c.cid == id; });
        ASSERT_NE (listed, info->classes.end()) << id;

        EXPECT_EQ (listed->category, live.category);
        EXPECT_EQ (listed->name, live.name);
        EXPECT_EQ (listed->vendor, live.vendor);
        EXPECT_EQ (listed->version, live.version);
        EXPECT_EQ (listed->sdkVersion, live.sdkVersion);
        EXPECT_EQ (listed->flags, live.classFlags);
        EXPECT_EQ (listed->cardinality, live.cardinality);

        std::string subCategories;

        for (const auto& sub : listed->subCategories)
            subCategories += (subCategories.empty() ? "" : "|") + sub;

        EXPECT_EQ (subCategories, live.subCategories);
    }
#endif
}
