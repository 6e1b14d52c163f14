#include "CommandLine.h"

namespace CommandLine
{
juce::String helpText()
{
    return R"(veldranox-render: render audio files through the VELDRANOX plug-in, offline.

Usage:
  veldranox-render [options] [INPUT]     render INPUT, or the built-in demo when INPUT is left out
  veldranox-render --info [--rate HZ]    show what a host sees of the plug-in
  veldranox-render --help

The plug-in is loaded through JUCE's VST3 hosting code, as a DAW loads it.

Input and output:
  INPUT                WAV or AIFF file, mono or stereo, 8000 to 384000 Hz. FLAC and Ogg Vorbis are not
                       built into this tool; convert them to WAV first.
  -o, --output FILE    the WAV file to write, at the input's rate and channel count.
                       Default: INPUT's name with "-veldranox.wav", beside it; for the demo,
                       veldranox-demo.wav in the current directory.
  --float              write 32-bit float samples (default: 24-bit integer, which clips above 0 dBFS)
  --plot FILE.png      also draw the input's and the output's waveforms and spectrograms over time,
                       as a 1600 x 900 picture. The demo always draws one (default: the output's name
                       with .png).

The plug-in's controls, 0 to 100 (default: the plug-in's own; --info lists them):
  --space VALUE        room size, delay feedback, reverb against delay
  --grit VALUE         drive, tone, bit and rate reduction
  --drift VALUE        depth of the delay-time wobble
  --melt VALUE         wet against dry; 0 leaves only the dry signal, exactly
  --automation FILE    change controls while rendering (see below)

Host:
  --bpm BPM            the host tempo, 20 to 300, which sets the delay times (half and three quarters of
                       a beat). Default: a host without tempo, for which the plug-in assumes 120; the
                       demo plays at 120.
  --block N            block size in samples, 1 to 16384 (default 512)
  --tail SECONDS       how long to keep rendering after the input ends, 0 to 600
                       (default: the tail the plug-in reports; --info shows it)
  --no-compensation    keep the plug-in's latency in the output; by default the output is shifted
                       so that it lines up with the input sample for sample
  --rate HZ            the demo's and --info's sample rate, 8000 to 384000 (default 48000)
  --plugin PATH        the VELDRANOX.vst3 or VELDRANOX.lv2 bundle to load. Default: the bundle of the
                       --format this build produced, then ~/.vst3/VELDRANOX.vst3 or ~/.lv2/VELDRANOX.lv2
  --format FORMAT      vst3 or lv2: the format to host the plug-in in (default: the --plugin bundle's,
                       else vst3). LV2 offers stereo only and reports no tail (give --tail)

Automation file: one change per line, WHEN PARAMETER VALUE, separated by spaces, tabs or commas.
  WHEN is seconds from the start of the input ("2.5" or "2.5s") or a block number ("block 40");
  PARAMETER is Space, Grit, Drift or Melt (any letter case); VALUE is 0 to 100; "#" starts a comment.
  A change reaches the plug-in at the start of the block that holds its time, and the plug-in then
  glides to it over 50 ms. Changes in block 0 are in place before the first sample. Example:
      0s     Melt  0
      2.5s   Melt  80
      block 400, Space, 100

Output on the terminal: a progress bar on standard error while rendering (when it is a terminal),
then one summary line: duration, peak and RMS levels in and out, time taken and speed against real time.

Exit status: 0 done; 1 unexpected failure; 2 bad option, value or automation line; 3 input or automation
file missing, unreadable or unsupported; 4 the plug-in bundle does not load; 5 the output could not be
written. On any failure nothing is written: files are completed beside their target and then renamed.
)";
}
} // namespace CommandLine
