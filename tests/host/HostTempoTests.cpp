#include "BitIdentical.h"
#include "HostTestSupport.h"
#include "TestSignals.h"

#include <limits>
#include <optional>

// The host's tempo reaches the plug-in through the VST3 process context or the LV2 time position; one that
// is not a finite number counts as none, so the echoes stay where the plug-in's own 120 BPM puts them.
namespace
{
class ReportedTempo final : public juce::AudioPlayHead
{
public:
    explicit ReportedTempo (std::optional<double> bpmToReport) : bpm (bpmToReport) {}

    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setIsPlaying (true);

        if (bpm)
            info.setBpm (*bpm);

        return info;
    }

private:
    std::optional<double> bpm;
};

// A second of noise through a fresh stereo instance of the format whose host reports this tempo (or none).
juce::AudioBuffer<float> renderWithTempo (HostTestSupport::Format format, std::optional<double> bpm)
{
    constexpr double sampleRate = 48000.0;
    auto instance = HostTestSupport::loadPrepared (format, sampleRate, 2);

    if (instance == nullptr)
        return {};

    ReportedTempo tempo (bpm);
    instance->setPlayHead (&tempo);

    auto buffer = TestSignals::noise (2, (int) sampleRate, 0.5f, 12);

    HostedPlugin::processInBlocks (*instance, buffer, HostTestSupport::blockSize);
    instance->setPlayHead (nullptr);
    return buffer;
}
class HostTempo : public ::testing::TestWithParam<HostTestSupport::Format>
{
};
} // namespace

TEST_P (HostTempo, ATempoThatIsNotFiniteCountsAsNone)
{
    const auto format = GetParam();
    const auto withoutTempo = renderWithTempo (format, std::nullopt);
    ASSERT_GT (withoutTempo.getNumSamples(), 0);

    // The host's tempo does reach the plug-in: another tempo moves the echoes, the default one does not.
    EXPECT_TRUE (bitIdentical (renderWithTempo (format, 120.0), withoutTempo));
    EXPECT_FALSE (bitIdentical (renderWithTempo (format, 20.0), withoutTempo));
    EXPECT_FALSE (bitIdentical (renderWithTempo (format, 300.0), withoutTempo));

    for (const double bpm : { std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity() })
    {
        SCOPED_TRACE (bpm);
        EXPECT_TRUE (bitIdentical (renderWithTempo (format, bpm), withoutTempo));
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, HostTempo, HostTestSupport::allFormats, HostTestSupport::formatCaseName);
