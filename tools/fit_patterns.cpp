// Fits the weights of the engine's local patterns (engine/patterns.h) on
// real game records: every move of every record is a choice of one empty
// cell among all of them, and each cell is known by its surrounding. A
// Bradley-Terry model (one strength a pattern, minorisation-maximisation
// updates, one virtual win and one virtual loss against strength 1 for
// each pattern) gives how much more often players chose each surrounding.
//
//   tarnwick-fit-patterns testdata/lg-records > engine/pattern_weights.inc
//
// Records of games with an even number are fitted, those with an odd number
// held out: for both halves the standard error prints how often the move
// played was the cell of the highest weight (ties shared), and the mean log
// likelihood of the move played, against the same for every cell alike.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/patterns.h"
#include "havannah/position.h"

namespace {

using tarnwick::engine::canonicalPattern;
using tarnwick::engine::kPatternCodes;
using tarnwick::engine::localPattern;
using tarnwick::engine::PatternCode;
using tarnwick::havannah::Cell;
using tarnwick::havannah::Position;
using tarnwick::havannah::Stone;

// One choice: how many empty cells had each pattern, and the one played.
struct Choice {
    std::vector<std::pair<PatternCode, int>> candidates;
    PatternCode played;
};

// The values of `tag[...]` properties in order, e.g. every ";W[" and ";B[".
std::vector<std::string> moveValues(std::string_view text) {
    std::vector<std::string> values;
    for (std::size_t at = 0; (at = text.find('[', at)) != std::string_view::npos; ++at) {
        if (at < 2 || text[at - 2] != ';' || (text[at - 1] != 'W' && text[at - 1] != 'B')) continue;
        const std::size_t end = text.find(']', at);
        if (end == std::string_view::npos) break;
        values.emplace_back(text.substr(at + 1, end - at - 1));
    }
    return values;
}

std::optional<int> boardSize(std::string_view text) {
    const std::size_t at = text.find("SZ[");
    if (at == std::string_view::npos) return std::nullopt;
    try {
        return std::stoi(std::string(text.substr(at + 3, 3)));
    } catch (...) {
        return std::nullopt;
    }
}

// The choices of one record; stops at the first move that cannot be played.
void addChoices(std::string_view text, std::vector<Choice>& choices) {
    const std::optional<int> base = boardSize(text);
    if (!base || (*base != 8 && *base != 10)) return;
    Position position(*base);
    const int cells = position.topology().cellCount();
    for (const std::string& value : moveValues(text)) {
        if (value == "swap") {
            if (position.swap()) return;
            continue;
        }
        const std::optional<Cell> cell = position.topology().parseCell(value);
        if (!cell || position.at(*cell) != Stone::Empty) return;
        std::map<PatternCode, int> counts;
        for (Cell c = 0; c < cells; ++c)
            if (position.at(c) == Stone::Empty) ++counts[canonicalPattern(localPattern(position, c, position.toMove()))];
        choices.push_back({{counts.begin(), counts.end()}, canonicalPattern(localPattern(position, *cell, position.toMove()))});
        if (position.play(*cell) || position.isWon()) return;
    }
}

std::vector<double> fit(const std::vector<Choice>& choices) {
    std::vector<double> gamma(kPatternCodes, 1.0);
    std::vector<double> wins(kPatternCodes, 0.0);
    std::vector<bool> seen(kPatternCodes, false);
    for (const Choice& choice : choices) {
        wins[choice.played] += 1;
        for (const auto& [code, count] : choice.candidates) seen[code] = true;
    }
    for (int iteration = 0; iteration < 200; ++iteration) {
        std::vector<double> denominator(kPatternCodes, 0.0);
        for (const Choice& choice : choices) {
            double total = 0;
            for (const auto& [code, count] : choice.candidates) total += count * gamma[code];
            for (const auto& [code, count] : choice.candidates) denominator[code] += count / total;
        }
        for (std::size_t code = 0; code < kPatternCodes; ++code)
            if (seen[code]) gamma[code] = (wins[code] + 1) / (denominator[code] + 2 / (gamma[code] + 1));
    }
    // One free scale: the average cell offered (geometric mean) weighs 1.
    double logSum = 0, offered = 0;
    for (const Choice& choice : choices)
        for (const auto& [code, count] : choice.candidates) {
            logSum += count * std::log(gamma[code]);
            offered += count;
        }
    const double scale = std::exp(-logSum / offered);
    for (double& g : gamma) g *= scale;
    return gamma;
}

void report(const char* name, const std::vector<Choice>& choices, const std::vector<double>& gamma) {
    double top = 0, logLikelihood = 0, uniform = 0;
    for (const Choice& choice : choices) {
        double total = 0, best = 0;
        int cells = 0, bestCells = 0;
        for (const auto& [code, count] : choice.candidates) {
            total += count * gamma[code];
            cells += count;
            if (gamma[code] > best) best = gamma[code], bestCells = count;
            else if (gamma[code] == best) bestCells += count;
        }
        if (gamma[choice.played] == best) top += 1.0 / bestCells;
        logLikelihood += std::log(gamma[choice.played] / total);
        uniform += std::log(1.0 / cells);
    }
    const double n = static_cast<double>(choices.size());
    std::fprintf(stderr, "%s: %zu moves; the highest weight played %.1f %%; log likelihood a move %.3f (%.3f for cells alike)\n",
                 name, choices.size(), 100 * top / n, logLikelihood / n, uniform / n);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: tarnwick-fit-patterns FOLDER-OF-RECORDS > engine/pattern_weights.inc\n", stderr);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.path().extension() == ".sgf") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Choice> fitted, heldOut;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string stem = file.stem().string();
        const bool odd = !stem.empty() && (stem.back() - '0') % 2 == 1;
        addChoices(text, odd ? heldOut : fitted);
    }
    const std::vector<double> gamma = fit(fitted);
    report("fitted", fitted, gamma);
    report("held out", heldOut, gamma);

    // The patterns the fit met; the others keep the engine's weight of 1.
    std::set<PatternCode> codes;
    for (const Choice& choice : fitted)
        for (const auto& [code, count] : choice.candidates) codes.insert(code);
    std::printf("// Written by tools/fit_patterns.cpp from %zu moves of %zu real records\n"
                "// (base 8 and 10, the records of even game numbers): canonical pattern, weight.\n"
                "constexpr PatternWeight kFittedWeights[] = {\n",
                fitted.size(), files.size());
    for (const PatternCode code : codes) std::printf("    {%u, %#.4gF},\n", code, gamma[code]);
    std::printf("};\n");
    return 0;
}
