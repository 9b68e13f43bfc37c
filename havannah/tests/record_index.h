// The real records of testdata/lg-records and their index, for the tests
// of every layer that read them all (standard library only).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick::testing {

// One row of index.tsv: what each record holds and how its game ends.
struct IndexRow {
    std::string file;
    std::string number;  // the game's number on the server
    int size = 0;
    int moves = 0;
    bool swap = false;
    bool resign = false;
    std::string ending;
};

inline std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<IndexRow> readIndex(const std::filesystem::path& folder) {
    std::vector<IndexRow> rows;
    std::istringstream in(fileText(folder / "index.tsv"));
    std::string line;
    std::getline(in, line);  // heading
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
        if (cells.size() < 8) continue;
        rows.push_back({cells[0], cells[1], std::atoi(cells[2].c_str()), std::atoi(cells[4].c_str()), cells[5] == "yes",
                        cells[6] == "yes", cells[7]});
    }
    return rows;
}

}  // namespace tarnwick::testing
