#include "BatchRender.h"

#include "BatchProgress.h"
#include "FileRender.h"
#include "HostedPlugin.h"
#include "NumberText.h"
#include "SignalLevels.h"
#include "ToolError.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <future>
#include <iostream>
#include <thread>

namespace
{
// How often the message thread looks after the renders running on other threads.
constexpr int pollMilliseconds = 20;

struct Row
{
    juce::String file, inputFormat, outputFormat, duration, peakIn, peakOut, result;
    bool failed = false;
};

int jobCount (const RenderOptions& options)
{
    const auto cores = (int) std::max (1u, std::thread::hardware_concurrency());
    return std::min (options.jobs.value_or (cores), (int) options.files.size());
}

Row writtenRow (const FileRender& render, const OutputEncoding& encoding)
{
    const auto& input = render.input();
    const auto peakOut = SignalLevels::measure (render.result().output).peak;
    const auto clipped = peakOut > 1.0f && ! encoding.floatSamples();

    Row row;
    row.file = render.file().input.getFileName();
    row.inputFormat = input.describeFormat();
    row.outputFormat = encoding.describe();
    row.duration = juce::String (input.samples.getNumSamples() / input.sampleRate, 2) + " s";
    row.peakIn = SignalLevels::dbfs (SignalLevels::measure (input.samples).peak);
    row.peakOut = SignalLevels::dbfs (peakOut);
    row.result = "written " + render.file().output.getFileName() + (clipped ? ", clipped above 0 dBFS" : "");
    return row;
}

Row failedRow (const FileToRender& file, const juce::String& problem)
{
    Row row;
    row.file = file.input.getFileName();
    row.inputFormat = row.outputFormat = row.duration = row.peakIn = row.peakOut = "-";
    row.result = "failed: " + problem;
    row.failed = true;
    return row;
}

ToolError unexpected (const std::exception& problem)
{
    return ToolError (ExitStatus::internalFailure, juce::String ("unexpected failure: ") + problem.what());
}

void printTable (const std::vector<Row>& rows)
{
    const Row heading { "file", "input", "output", "duration", "peak in", "peak out", "result" };
    const auto columns = [] (const Row& row)
    {
        return std::array<juce::String, 6> { row.file,     row.inputFormat, row.outputFormat,
                                             row.duration, row.peakIn,      row.peakOut };
    };

    std::array<int, 6> widths {};
    const auto widen = [&] (const Row& row)
    {
        for (size_t c = 0; c < widths.size(); ++c)
            widths[c] = std::max (widths[c], columns (row)[c].length());
    };
    widen (heading);
    for (const auto& row : rows)
        widen (row);

    const auto print = [&] (const Row& row)
    {
        const auto cells = columns (row);
        for (size_t c = 0; c < cells.size(); ++c)
        {
            // Numbers line up on the right, names on the left.
            const auto rightAligned = c >= 3;
            std::cout << (rightAligned ? cells[c].paddedLeft (' ', widths[c]) : cells[c].paddedRight (' ', widths[c]))
                      << "  ";
        }
        std::cout << row.result << "\n";
    };

    print (heading);
    for (const auto& row : rows)
        print (row);
}
} // namespace

int renderBatch (const RenderOptions& options, const std::vector<AutomationEvent>& automation)
{
    struct Running
    {
        size_t index;
        std::unique_ptr<FileRender> render;
        std::future<void> done;
    };

    const auto& files = options.files;
    const auto jobs = (size_t) jobCount (options);
    std::vector<Row> rows (files.size());
    std::vector<Running> running;
    size_t next = 0, finished = 0;
    int failed = 0;
    std::optional<ToolError> pluginProblem;
    BatchProgress progress;

    const auto fail = [&] (size_t index, const ToolError& problem)
    {
        // Every file loads the same plug-in: when it will not load, none can be rendered.
        if (problem.status == ExitStatus::pluginNotLoaded)
            pluginProblem.emplace (problem);
        else
            progress.message ("veldranox-render: " + files[index].input.getFileName() + ": " + problem.what());

        rows[index] = failedRow (files[index], problem.what());
        ++failed;
        ++finished;
    };

    while ((next < files.size() && ! pluginProblem.has_value()) || ! running.empty())
    {
        // Instances are created and prepared here, on the message thread; they render on their own threads.
        while (! pluginProblem.has_value() && running.size() < jobs && next < files.size())
        {
            const auto index = next++;
            auto render = std::make_unique<FileRender> (files[index], options, automation);

            try
            {
                render->prepare();
            }
            catch (const ToolError& problem)
            {
                fail (index, problem);
                continue;
            }
            catch (const std::exception& problem)
            {
                fail (index, unexpected (problem));
                continue;
            }

            auto* job = render.get();
            running.push_back ({ index,
                                 std::move (render),
                                 std::async (std::launch::async,
                                             [job]
                                             {
                                                 job->process();
                                                 job->commit();
                                             }) });
        }

        HostedPlugin::pumpMessages (pollMilliseconds);

        for (auto it = running.begin(); it != running.end();)
        {
            if (it->done.wait_for (std::chrono::seconds (0)) != std::future_status::ready)
            {
                ++it;
                continue;
            }

            try
            {
                it->done.get();
                rows[it->index] = writtenRow (*it->render, options.encoding);
                ++finished;
            }
            catch (const ToolError& problem)
            {
                fail (it->index, problem);
            }
            catch (const std::exception& problem)
            {
                fail (it->index, unexpected (problem));
            }

            it->render->finish();
            it = running.erase (it);
        }

        std::vector<BatchProgress::FileLine> lines;
        double overall = (double) finished;
        for (const auto& job : running)
        {
            lines.push_back ({ files[job.index].input.getFileName(), job.render->fractionDone() });
            overall += job.render->fractionDone();
        }
        progress.draw (lines,
                       overall / (double) files.size(),
                       juce::String (finished) + " of " + juce::String ((int) files.size()) + " files" +
                           (failed > 0 ? ", " + juce::String (failed) + " failed" : juce::String()));
    }

    if (pluginProblem.has_value())
        throw *pluginProblem;

    progress.clear();
    printTable (rows);
    std::cout << (int) files.size() - failed << " of " << (int) files.size() << " files written"
              << (failed > 0 ? ", " + juce::String (failed) + " failed" : juce::String()) << std::endl;
    return failed;
}
