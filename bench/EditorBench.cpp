// Opening and saving big source files in the real editor widget: a 10 MB
// plain C file and a 10 MB RTF document, each read, shown and laid out up to
// its first screen, then saved.

#include "bench/QuietOffscreen.h"
#include "editor/RichEdit.h"
#include "editor/SourceFile.h"
#include "platform/qt/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::size_t TargetBytes = 10u << 20;

std::string PlainSource()
{
    const std::string block = "static int counter_%d = 0;\n"
                              "int step(int value) { return value * 3 + counter_%d++; }  /* arithmetic */\n"
                              "\tif (counter > 10) { puts(\"done\"); }\n";
    std::string text;
    text.reserve(TargetBytes + block.size());
    while (text.size() < TargetBytes)
        text += block;
    return text;
}

std::string RtfSource()
{
    std::string text = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}{\\f1\\fmodern Courier New;}}"
                       "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n";
    const std::string paragraph = "\\pard\\plain\\f0\\fs20 Plain words {\\b bold words} {\\i italic} {\\cf1 red} "
                                  "{\\f1 mono()} caf\\'e9 \\u8364? end\\par\n";
    while (text.size() < TargetBytes)
        text += paragraph;
    return text + "}";
}

double Seconds(QElapsedTimer& clock)
{
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

struct Figures {
    double open = 1e9;
    double save = 1e9;
};

Figures Measure(kw::TRichEdit& editor, const std::filesystem::path& file, int runs)
{
    Figures best;
    for (int run = 0; run < runs; ++run) {
        editor.clear();
        QApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        editor.LoadFromFileContent(kw::ReadSourceFile(file.string()));
        // Shown: laid out and painted up to the first screen.
        editor.viewport()->grab();
        QApplication::processEvents();
        best.open = std::min(best.open, Seconds(clock));

        clock.restart();
        kw::WriteSourceFile((file.string() + ".saved"), editor.PlainTextForSaving());
        best.save = std::min(best.save, Seconds(clock));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kw::bench::QuietOffscreenPlatform();
    QApplication application(argc, argv);
    kw::LoadSystemFonts();
    const auto folder = std::filesystem::temp_directory_path() / "kw-editor-bench";
    std::filesystem::create_directories(folder);
    const auto plain = folder / "big.c";
    const auto rtf = folder / "big.rtf";
    {
        FILE* out = std::fopen(plain.c_str(), "wb");
        const std::string text = PlainSource();
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
        out = std::fopen(rtf.c_str(), "wb");
        const std::string markup = RtfSource();
        std::fwrite(markup.data(), 1, markup.size(), out);
        std::fclose(out);
    }

    kw::TRichEdit editor(nullptr);
    editor.resize(664, 319);
    editor.show();
    const Figures plainFigures = Measure(editor, plain, 3);
    const Figures rtfFigures = Measure(editor, rtf, 3);
    std::printf("editor: open 10 MB plain C  %.3f s (goal < 0.6 s)\n", plainFigures.open);
    std::printf("editor: save 10 MB plain C  %.3f s (goal < 0.2 s)\n", plainFigures.save);
    std::printf("editor: open 10 MB RTF      %.3f s (goal < 1.5 s)\n", rtfFigures.open);
    std::printf("editor: save text of RTF    %.3f s (goal < 0.2 s)\n", rtfFigures.save);
    std::filesystem::remove_all(folder);
    return 0;
}
