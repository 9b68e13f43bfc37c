// Prints where the program draws cells, for the window tests to click and
// read back the board from the program's own geometry.
// Usage: window_test_cells BASE CELL...   e.g. window_test_cells 8 A1 B3
// One line "CELL X Y" a cell: the top-left corner of its stone square.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/geometry.h"

int main(int argc, char** argv) {
    const int base = argc >= 2 ? std::atoi(argv[1]) : 0;
    if (argc < 3 || (base != 8 && base != 10)) {
        std::fprintf(stderr, "usage: window_test_cells 8|10 CELL...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string name = argv[i];
        const int column = name.empty() ? 0 : name[0] - 'A' + 1;
        const int position = name.size() < 2 ? 0 : std::atoi(name.c_str() + 1);
        const auto origin = tarnwick::board::stoneSquareOrigin(base, column, position);
        if (!origin || tarnwick::board::cellName(column, position) != name) {
            std::fprintf(stderr, "window_test_cells: %s is no cell of base %d\n", name.c_str(), base);
            return 1;
        }
        std::printf("%s %d %d\n", name.c_str(), origin->x, origin->y);
    }
    return 0;
}
