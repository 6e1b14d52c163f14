#include "CommandLine.h"
#include "Macros.h"

namespace CommandLine
{
namespace
{
// One line per control: its option and what it does, the description starting in the help's column.
juce::String controlOptions()
{
    constexpr int descriptionColumn = 23;
    juce::String lines;

    for (const auto& macro : macroTable)
    {
        const auto option = "  --" + juce::String (macro.name).toLowerCase() + " VALUE";
        lines << option.paddedRight (' ', descriptionColumn) << macro.effect << "\n";
    }

    return lines;
}

// Where the installer or the user puts the bundles, which the renderer tries after this build's own.
#if JUCE_WINDOWS
constexpr const char* installedBundles = R"(C:\Program Files\Common Files\VST3\VELDRANOX.vst3
                       or C:\Program Files\Common Files\LV2\VELDRANOX.lv2)";
#else
constexpr const char* installedBundles = "~/.vst3/VELDRANOX.vst3 or ~/.lv2/VELDRANOX.lv2";
#endif
} // namespace

juce::String helpText()
{
    return R"(veldranox-render: render audio files through the VELDRANOX plug-in, offline.

Usage:
  veldranox-render [options] INPUT [-o OUTPUT]     render one file
  veldranox-render [options] INPUT... -o FOLDER/   render many files (or folders of them), several at once
  veldranox-render [options]                       render the built-in demo
  veldranox-render --info [--rate HZ]              show what a host sees of the plug-in
  veldranox-render --list-presets                  list the factory presets
  veldranox-render --help

The plug-in is loaded through JUCE's VST3 hosting code, as a DAW loads it.

Files:
  format        reads           writes (chosen by the output's extension)
  WAV           yes             .wav, --bits 16, 24 or 32f (32-bit float)
  AIFF          yes             .aiff or .aif, --bits 16 or 24
  FLAC          yes             .flac, --bits 16 or 24
  Ogg Vorbis    yes (lossy)     .ogg, --quality 0 to 10 (lossy)
  MP3           yes (lossy)     no
  Inputs are mono or stereo, 8000 to 384000 Hz, and render at their own rate and channel count.
  The summary says when an input or the output is lossy.

Input and output:
  INPUT                an audio file, or a folder: its audio files (by extension, not its subfolders)
  -o, --output FILE    for one input, the file to write. Default: INPUT's name with "-veldranox" and
                       the --ext extension, beside it; for the demo, veldranox-demo.wav here.
  -o, --output FOLDER/ for several inputs, a folder, or an output ending in "/": the existing folder
                       each render goes to, under its input's name with the --ext extension.
                       Default: beside each input, with "-veldranox" added to its name.
  --ext EXT            the format of outputs named from their inputs: wav, aiff, flac or ogg
                       (default wav)
  --bits N             16, 24 or 32f, where the format offers them (default 24). Integer samples
                       are rounded and clip above 0 dBFS; 32f keeps everything.
  --float              the same as --bits 32f
  --quality Q          Ogg Vorbis quality, 0 to 10 as oggenc's -q (default 6)
  --jobs N             render N files at once, 1 to 64, each through a plug-in instance of its own
                       (default: one per processor core). The outputs are the same bit for bit.
  --plot FILE.png      also draw the input's and the output's waveforms and spectrograms over time,
                       as a 1600 x 900 picture, for a single input. The demo always draws one
                       (default: the output's name with .png).

The plug-in's controls, 0 to 100 (default: the plug-in's own; --info lists them):
)" + controlOptions() +
           R"(  --automation FILE    change controls while rendering (see below)
  --settings FILE      read the controls from a settings file (see below); options given on the
                       command line win over it
  --preset NAME        start from a factory preset (--list-presets shows them), by name in any
                       letter case; the control options and --settings win over it
  --preset FILE.vstpreset
                       start from a VST3 preset file, any that VELDRANOX saved (its class ID must be
                       the plug-in's); VST3 only. A value ending in .vstpreset or holding a "/" is a file
  --list-presets       list the factory presets with their values and what each does
  --save-settings FILE write the values in effect to a settings file; without an INPUT, that
                       is all that is done

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
                       --format this build produced, then )" +
           juce::String (installedBundles) + R"(
  --format FORMAT      vst3 or lv2: the format to host the plug-in in (default: the --plugin bundle's,
                       else vst3). LV2 offers stereo only and reports no tail (give --tail)

Automation file: one change per line, WHEN PARAMETER VALUE, separated by spaces, tabs or commas.
  WHEN is seconds from the start of the input ("2.5" or "2.5s") or a block number ("block 40");
  PARAMETER is )" +
           HostMacros::listed ("or") + R"( (any letter case); VALUE is 0 to 100; "#" starts a comment.
  A change reaches the plug-in at the start of the block that holds its time, and the plug-in then
  glides to it over 50 ms. Changes in block 0 are in place before the first sample. Example:
      0s     Melt  0
      2.5s   Melt  80
      block 400, Space, 100

Settings file: one control per line, NAME VALUE; NAME is )" +
           HostMacros::listed ("or") + R"( (any letter case),
  VALUE is 0 to 100, "#" starts a comment, and a control left out keeps the plug-in's default. Example:
      # a dark, wide room
      Space 70
      Melt  45

Output on the terminal: a progress bar on standard error while rendering (when it is a terminal),
then one summary line: duration, peak and RMS levels in and out, time taken and speed against real time.
Several files show a progress line each and one for all of them, then a table: each file, its input
and output formats, duration, peak in and out, and whether it was written or why it failed.

Exit status: 0 done; 1 unexpected failure; 2 bad option, value, automation or settings line, or an
unknown preset name; 3 input, automation, settings or preset file missing, unreadable or unsupported; 4 the plug-in bundle does not load;
5 an output could not be written; 6 of several files, some failed (the others were written).
On any failure nothing is written for the file that failed: files are completed beside their target
and then renamed. A file that fails among several is reported and skipped.
)";
}
} // namespace CommandLine
