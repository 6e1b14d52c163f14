// Renders the plug-in's editor, at its own size and with the parameters at their defaults, to a PNG.
// Usage: veldranox-snapshot <output.png>

#include "processor/VeldranoxAudioProcessor.h"

#include <iostream>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

namespace
{
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();

    juce::FileOutputStream stream (file);
    if (! stream.openedOk())
        return false;

    juce::PNGImageFormat png;
    return png.writeImageToStream (image, stream);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: veldranox-snapshot <output.png>\n";
        return 2;
    }

    const auto output =
        juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (juce::CharPointer_UTF8 (argv[1])));

    juce::ScopedJuceInitialiser_GUI gui;
    VeldranoxAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());

    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    editor.reset();

    if (! writePng (image, output))
    {
        std::cerr << "could not write " << output.getFullPathName() << "\n";
        return 1;
    }

    std::cout << output.getFullPathName() << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
    return 0;
}
