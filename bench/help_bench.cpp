// The documentation's costs the user waits for: laying it out (at start-up
// and on every font button press), reading it, and one font button press
// with its redraw.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/context.h"
#include "app/shell.h"
#include "bench/bench_program.h"
#include "help/help.h"

namespace tarnwick {
namespace {

// A documentation text shaped like the real one: sections of headings,
// paragraphs of long lines that wrap two or three times, lists and gaps.
std::string generatedDocumentation(int lines) {
    const std::string sentence = "Stones, cells and moves are described here in words of ordinary length. ";
    std::string text;
    int written = 0;
    for (int section = 1; written < lines; ++section) {
        text += "+------------+\n| Section " + std::to_string(section) + " |\n+------------+\n";
        written += 3;
        for (int k = 0; k < 40 && written < lines; ++k, ++written) {
            switch (k % 8) {
                case 0: text += "A heading\n"; break;
                case 1: text += "---------\n"; break;
                case 5: text += "\n"; break;
                case 6: text += "- a list entry with a few words\n"; break;
                default:
                    for (int s = 0; s < 4; ++s) text += sentence;
                    text += "\n";
            }
        }
    }
    return text;
}

// A started program showing the About/Help page with `text` as its
// documentation; with an empty `text`, the real file beside the benchmark.
struct HelpProgram : bench::StartedProgram {
    explicit HelpProgram(const std::string& text) {
        if (!text.empty()) {
            folder = std::filesystem::temp_directory_path() / "tarnwick-help-bench";
            std::filesystem::create_directories(folder);
            std::ofstream(folder / help::kDocumentationFile, std::ios::binary) << text;
            platform.setDataFolder(folder.string());
            help::readDocumentation(platform, app.help, app.fonts.BodyFont);
        }
        app.shell.ActiveTab = HelpTab;
        showHelpPage(app);
    }
    ~HelpProgram() {
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }
    HelpProgram(const HelpProgram&) = delete;
    HelpProgram& operator=(const HelpProgram&) = delete;
    std::filesystem::path folder;
};

// The real file when the build put it beside the benchmark, else a
// generated text of about its size.
std::string realOrStandIn(benchmark::State& state) {
    const auto real = std::filesystem::read_symlink("/proc/self/exe").parent_path() / help::kDocumentationFile;
    if (std::filesystem::exists(real)) {
        state.SetLabel("tk-documentation.txt");
        return {};
    }
    state.SetLabel("generated stand-in, 400 lines");
    return generatedDocumentation(400);
}

void BM_LayoutRealDocumentation(benchmark::State& state) {
    HelpProgram program(realOrStandIn(state));
    for (auto _ : state) help::layoutDocumentation(program.platform, program.app.help, program.app.fonts.BodyFont);
}
BENCHMARK(BM_LayoutRealDocumentation)->Unit(benchmark::kMillisecond);

// Lines of file in, time out: the layout stays linear in the file's size.
void BM_LayoutGenerated(benchmark::State& state) {
    HelpProgram program(generatedDocumentation(static_cast<int>(state.range(0))));
    for (auto _ : state) help::layoutDocumentation(program.platform, program.app.help, program.app.fonts.BodyFont);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LayoutGenerated)->Arg(500)->Arg(2000)->Arg(8000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_ReadDocumentation(benchmark::State& state) {
    HelpProgram program(generatedDocumentation(500));
    for (auto _ : state) help::readDocumentation(program.platform, program.app.help, program.app.fonts.BodyFont);
}
BENCHMARK(BM_ReadDocumentation)->Unit(benchmark::kMillisecond);

// One press of the "A" button: the next font, the layout and the page redrawn.
void BM_FontButtonPress(benchmark::State& state) {
    HelpProgram program(realOrStandIn(state));
    help::Fonts fonts = helpFontsOf(program.app);
    for (auto _ : state) {
        fonts = help::cycleHelpFont(program.platform, program.app.help, fonts, program.app.shell.ButtonImages);
    }
}
BENCHMARK(BM_FontButtonPress)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick
