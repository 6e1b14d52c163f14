#include "EngineHarness.h"
#include "MathsLibrary.h"
#include "SettableTempo.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <iomanip>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

// The engine's output is defined to the float, so any change to the processing code, however it is
// meant, must leave every output bit where it was. Each scenario below renders a few seconds of a
// deterministic input and hashes the bit patterns of every output sample; the constants were recorded
// from the engine before any optimisation of it.
//
// The constants hold for x86_64 SSE arithmetic with -ffp-contract=off, and for the maths library they
// were recorded with: sinf, tanhf, powf and log10f round as that libm does, and glibc 2.41's correctly
// rounded tanhf and log10f already move most output samples in their last place. JUCE's part counts too:
// JUCE 8's smoother ignores a new target approximately equal to the one it has where JUCE 7 compares
// exactly, which moves the bits of the scenario that sets a new target on every one-sample block. So there
// is one column of digests per maths library (keyed on its fingerprint) and JUCE major version; on a pair
// with no column the test says so and prints what it rendered, for recording one. A Windows build computes
// sinf, expf and powf in MinGW-w64's own library (through the double functions) but takes tanhf and log10f
// from msvcrt.dll: its column is keyed on Wine's msvcrt.dll; on Windows itself Microsoft's gives the key,
// for which nothing is recorded yet.

using namespace EngineHarness;

namespace
{
// FNV-1a, 64 bits, over the bytes of each sample's bit pattern, channel after channel.
class OutputDigest
{
public:
    void add (const juce::AudioBuffer<float>& buffer)
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                addBits (buffer.getSample (ch, i));
    }

    std::uint64_t value() const noexcept { return hash; }

private:
    void addBits (float sample)
    {
        std::uint32_t bits;
        std::memcpy (&bits, &sample, sizeof bits);

        for (int byte = 0; byte < 4; ++byte)
        {
            hash ^= (bits >> (8 * byte)) & 0xffu;
            hash *= 0x100000001b3ull;
        }
    }

    std::uint64_t hash = 0xcbf29ce484222325ull;
};

// Exactly reproducible uniform values in [-1, 1): 24-bit integers scaled by a power of two.
class Lcg
{
public:
    explicit Lcg (std::uint32_t seed) : state (seed) {}

    float next() noexcept
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float> (static_cast<std::int32_t> (state >> 8) - (1 << 23)) * 0x1p-23f;
    }

private:
    std::uint32_t state;
};

enum class Input
{
    noise,     // white noise at half scale, a different stream per channel
    loudQuiet, // 0.3 s of a near-full-scale square (ducking and leveller at their ceilings), then 0.3 s of
               // noise far below both thresholds, and so on; one NaN in the first loud section
    impulse    // a single full-scale sample, then silence: the tails decay through the denormal range
};

juce::AudioBuffer<float> makeInput (Input kind, int channels, int samples, double sampleRate)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    buffer.clear();
    const int section = (int) (0.3 * sampleRate);
    const int halfPeriod = (int) (sampleRate / 220.0);

    for (int ch = 0; ch < channels; ++ch)
    {
        Lcg random (17u + 101u * (std::uint32_t) ch);
        auto* x = buffer.getWritePointer (ch);

        for (int i = 0; i < samples; ++i)
        {
            const float white = random.next();

            switch (kind)
            {
            case Input::noise:
                x[i] = 0.5f * white;
                break;
            case Input::loudQuiet:
            {
                const bool loud = (i / section) % 2 == 0;
                const float square = (i / halfPeriod) % 2 == 0 ? 0.98f : -0.98f;
                x[i] = loud ? square + 0.01f * white : 0.003f * white;
                break;
            }
            case Input::impulse:
                x[i] = i == 0 ? (ch == 0 ? 1.0f : -0.7f) : 0.0f;
                break;
            }
        }
    }

    if (kind == Input::loudQuiet && samples > 1000)
        buffer.setSample (0, 1000, std::numeric_limits<float>::quiet_NaN());

    return buffer;
}

enum class Automation
{
    none,
    everyBlock, // all four move in every block, so the smoothers never rest
    steps,      // all four jump every 0.37 s: ramps that start and end inside blocks, then rest
    gritSweep   // GRIT climbs from 45 to 55 through the on-thresholds of drive and crush
};

// Normalised host values of SPACE, GRIT, DRIFT, MELT for the block that starts at the given time.
std::array<float, 4> automationAt (Automation kind, double seconds, int blockIndex)
{
    const auto triangle = [] (double cycles) { return 1.0 - std::abs (2.0 * (cycles - std::floor (cycles)) - 1.0); };

    switch (kind)
    {
    case Automation::everyBlock:
    {
        const double wobble = blockIndex % 2 == 0 ? 0.005 : -0.005;
        std::array<float, 4> values {};
        constexpr double periods[] = { 0.7, 0.9, 1.1, 1.3 };

        for (size_t k = 0; k < values.size(); ++k)
            values[k] = (float) juce::jlimit (0.0, 1.0, triangle (seconds / periods[k]) + wobble);

        return values;
    }
    case Automation::steps:
    {
        const int step = (int) (seconds / 0.37);
        constexpr std::array<float, 4> table[] = {
            { 0.4f, 0.25f, 0.2f, 0.35f }, { 0.9f, 0.6f, 1.0f, 0.75f }, { 0.1f, 1.0f, 0.5f, 1.0f },
            { 0.6f, 0.47f, 0.0f, 0.62f }, { 0.0f, 0.0f, 0.8f, 0.0f },  { 1.0f, 0.52f, 0.3f, 0.9f },
        };
        return table[step % 6];
    }
    case Automation::gritSweep:
        return { 0.4f, (float) juce::jlimit (0.45, 0.55, 0.45 + 0.1 * triangle (seconds / 2.0)), 0.2f, 0.35f };
    case Automation::none:
        break;
    }

    return {};
}

struct Scenario
{
    const char* name;
    double sampleRate;
    bool mono;
    std::vector<int> blockLengths; // cycled; the first is the prepared size unless a longer one follows
    MacroSettings macros;
    Automation automation;
    std::optional<double> bpm; // nullopt: no play head; a negative value: 90 BPM, then 400 from 0.8 s on
    Input input;
    double seconds;
    std::array<std::uint64_t, 4> digests; // one per recorded build, in the order of recordedBuilds
};

struct RecordedBuild
{
    const char* name;
    std::uint64_t mathsLibrary; // its fingerprint
    int juceMajorVersion;
};

constexpr std::array<RecordedBuild, 4> recordedBuilds { {
    { "glibc 2.36, JUCE 7 (Debian 12)", 0xa06c27abf04f9616ull, 7 },
    { "glibc 2.41, JUCE 8 (Debian 13)", 0x05a2b64211721863ull, 8 },
    { "glibc 2.36, JUCE 8 (Debian 12 with a JUCE 8 checkout)", 0xa06c27abf04f9616ull, 8 },
    { "MinGW-w64 10, Wine 8.0's msvcrt.dll, JUCE 7 (Debian 12, Windows build)", 0x28be21243cbb46f0ull, 7 },
} };

constexpr MacroSettings defaults {};
constexpr MacroSettings all0 { 0.0f, 0.0f, 0.0f, 0.0f };
constexpr MacroSettings all100 { 100.0f, 100.0f, 100.0f, 100.0f };
constexpr double tempoChange = -1.0;

std::uint64_t render (const Scenario& s)
{
    const int prepared = *std::max_element (s.blockLengths.begin(), s.blockLengths.end());
    auto processor = makePrepared (s.sampleRate, prepared, s.macros, s.mono);
    const int channels = s.mono ? 1 : 2;
    auto signal = makeInput (s.input, channels, (int) (s.seconds * s.sampleRate), s.sampleRate);

    SettableTempo tempo;
    processor->setPlayHead (s.bpm ? &tempo : nullptr);

    int blockIndex = 0;

    for (int start = 0; start < signal.getNumSamples(); ++blockIndex)
    {
        const double now = start / s.sampleRate;

        if (s.automation != Automation::none)
        {
            const auto values = automationAt (s.automation, now, blockIndex);
            for (size_t k = 0; k < values.size(); ++k)
                processor->parameters.getParameter (macroTable[k].id)->setValueNotifyingHost (values[k]);
        }

        if (s.bpm)
            tempo.bpm = *s.bpm != tempoChange ? *s.bpm : (now < 0.8 ? 90.0 : 400.0);

        const int wanted = s.blockLengths[(size_t) blockIndex % s.blockLengths.size()];
        const int length = juce::jmin (wanted, signal.getNumSamples() - start);
        juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), channels, start, length);
        processBlock (*processor, block);
        start += length;
    }

    processor->setPlayHead (nullptr);
    OutputDigest digest;
    digest.add (signal);
    return digest.value();
}
} // namespace

TEST (EngineDigest, OutputBitsMatchTheRecordedEngine)
{
#if ! defined(__x86_64__)
    GTEST_SKIP() << "the digests were recorded with x86_64 SSE arithmetic";
#endif

    const auto fingerprint = MathsLibrary::fingerprint();
    const auto recordedHere = [fingerprint] (const RecordedBuild& recorded)
    { return recorded.mathsLibrary == fingerprint && recorded.juceMajorVersion == JUCE_MAJOR_VERSION; };
    const auto build = std::find_if (recordedBuilds.begin(), recordedBuilds.end(), recordedHere);

    const MacroSettings gritAt45 { 40.0f, 45.0f, 20.0f, 35.0f };
    const MacroSettings driftFull { 40.0f, 25.0f, 100.0f, 35.0f };

    // clang-format off
    const Scenario scenarios[] = {
        { "48k stereo 512 default",            48000.0, false, { 512 },  defaults,  Automation::none,       std::nullopt, Input::noise,     2.0, { 0x8bcc7e03def68e92ull, 0x1f0d62bda404b6b5ull, 0x8bcc7e03def68e92ull, 0x41c1073a836c69cdull } },
        { "48k stereo 512 all0",               48000.0, false, { 512 },  all0,      Automation::none,       std::nullopt, Input::noise,     1.0, { 0xa677bde4c33ebd65ull, 0xa677bde4c33ebd65ull, 0xa677bde4c33ebd65ull, 0xa677bde4c33ebd65ull } },
        { "48k stereo 512 all100 90bpm",       48000.0, false, { 512 },  all100,    Automation::none,       90.0,         Input::loudQuiet, 2.0, { 0xbcaa548468af9982ull, 0x2fdb17b830db64e8ull, 0xbcaa548468af9982ull, 0xad7a55a0e19cf1deull } },
        { "44k stereo 37 default 10bpm",       44100.0, false, { 37 },   defaults,  Automation::none,       10.0,         Input::loudQuiet, 2.0, { 0xd52c05047d926d40ull, 0x4bbd325b7589e214ull, 0xd52c05047d926d40ull, 0xc0f050dea97be5f0ull } },
        { "44k mono 2048 all100 400bpm",       44100.0, true,  { 2048 }, all100,    Automation::none,       400.0,        Input::noise,     2.0, { 0xc0dc803f749257a1ull, 0x1b8e7fee04466875ull, 0xc0dc803f749257a1ull, 0x8b006c7fc77820a6ull } },
        { "96k stereo 2048 every block 90bpm", 96000.0, false, { 2048 }, defaults,  Automation::everyBlock, 90.0,         Input::noise,     1.5, { 0xc733283e2c10ea3eull, 0x4f6dcc391dfb4e6aull, 0xc733283e2c10ea3eull, 0xeb811545e7cdf76full } },
        { "96k mono 37 every block",           96000.0, true,  { 37 },   defaults,  Automation::everyBlock, std::nullopt, Input::loudQuiet, 1.0, { 0x361c41bb9ce7ee9eull, 0xe0ec14587943f6a7ull, 0x361c41bb9ce7ee9eull, 0x87b498ef3a487b33ull } },
        { "48k stereo 1 default 90bpm",        48000.0, false, { 1 },    defaults,  Automation::none,       90.0,         Input::noise,     0.25, { 0x6c648e6c2066606cull, 0x53f53ed9191601d3ull, 0x6c648e6c2066606cull, 0x4470e8351e041153ull } },
        { "44k mono 1 every block",            44100.0, true,  { 1 },    all100,    Automation::everyBlock, std::nullopt, Input::loudQuiet, 0.2, { 0xc05e88c08664e238ull, 0x0b49ebbbee5a8c17ull, 0x5410a7d8124c0fe3ull, 0xf31a13e18eed547eull } },
        { "48k stereo 512 grit sweep",         48000.0, false, { 512 },  gritAt45,  Automation::gritSweep,  std::nullopt, Input::loudQuiet, 2.0, { 0xb86a19b2ae76233full, 0x55ed2878c3eebc97ull, 0xb86a19b2ae76233full, 0x1dbe10b036600a63ull } },
        { "44k mono 37 grit sweep 400bpm",     44100.0, true,  { 37 },   gritAt45,  Automation::gritSweep,  400.0,        Input::noise,     2.0, { 0xb63eb81528c64888ull, 0x3d0b1fa35d8e061bull, 0xb63eb81528c64888ull, 0xea17895adb8f04c0ull } },
        { "48k stereo 512 steps",              48000.0, false, { 512 },  defaults,  Automation::steps,      90.0,         Input::loudQuiet, 2.3, { 0x5415a426c3586132ull, 0x027abc5e1d76f8abull, 0x5415a426c3586132ull, 0x828f437e562ae608ull } },
        { "96k stereo 37 steps",               96000.0, false, { 37 },   all0,      Automation::steps,      std::nullopt, Input::noise,     1.2, { 0x0de482e2045c4bb5ull, 0xb3562541707d2580ull, 0x0de482e2045c4bb5ull, 0xf312b94181503d5aull } },
        { "48k stereo mixed blocks tempo",     48000.0, false, { 512, 1, 37, 2048, 200 }, defaults, Automation::everyBlock, tempoChange, Input::loudQuiet, 1.5, { 0xd5101b2c8ada692dull, 0x2945078f9c98df33ull, 0xd5101b2c8ada692dull, 0x393a83296fc2244aull } },
        { "48k stereo 512 impulse tail",       48000.0, false, { 512 },  defaults,  Automation::none,       std::nullopt, Input::impulse,   3.0, { 0x62cffe729498a14dull, 0x215c8aa5a0c5a439ull, 0x62cffe729498a14dull, 0x0c5a1a204c03ceecull } },
        { "96k stereo 512 impulse all100",     96000.0, false, { 512 },  all100,    Automation::none,       10.0,         Input::impulse,   2.0, { 0x842712e9953550b7ull, 0x842712e9953550b7ull, 0x842712e9953550b7ull, 0x842712e9953550b7ull } },
        { "44k stereo 512 drift 100 past the ring", 44100.0, false, { 512 }, driftFull, Automation::none,    10.0,         Input::noise,     3.2, { 0x25e223a0799f480cull, 0xae4bfdbfeebad360ull, 0x25e223a0799f480cull, 0xab3acd0c324ad90dull } },
    };
    // clang-format on

    if (build == recordedBuilds.end())
    {
        std::ostringstream rendered;

        for (const auto& s : scenarios)
            rendered << "\n  " << s.name << ": " << std::hex << std::showbase << render (s);

        GTEST_SKIP() << "no digests recorded for this maths library and JUCE (" << MathsLibrary::name()
                     << ", fingerprint " << std::hex << std::showbase << fingerprint << ", JUCE " << std::dec
                     << JUCE_MAJOR_VERSION << "); rendered:" << rendered.str();
    }

    const auto column = (size_t) std::distance (recordedBuilds.begin(), build);
    SCOPED_TRACE (build->name);

    for (const auto& s : scenarios)
    {
        SCOPED_TRACE (s.name);
        const auto digest = render (s);
        EXPECT_EQ (digest, s.digests[column]) << std::hex << std::showbase << digest;
    }
}
