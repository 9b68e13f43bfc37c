// Draws Tarnwick's board and stone pictures and writes them as BMP files.
//
//   board_art OUTPUT_FOLDER
//
// Writes tk-board-base-08.bmp, tk-board-base-10.bmp, stone-lg-black.bmp and
// stone-lg-white.bmp into the folder (which must exist), and the board
// pictures of the high-contrast and dark looks beside them
// (tk-board-base-08-dark.bmp and so on). Exits non-zero and
// names the file when any of them cannot be written, so the build stops
// instead of shipping a half-written picture.
#include <cstdio>
#include <string>
#include <string_view>

#include "assets/artwork.h"
#include "assets/raster.h"
#include "platform/fonts.h"

namespace {

bool writePicture(const std::string& folder, const std::string& name, const tarnwick::art::Raster& raster) {
    const std::string path = folder + "/" + name;
    if (raster.width() <= 0 || raster.height() <= 0 || !tarnwick::art::writeBmpFile(path, raster)) {
        std::fprintf(stderr, "board_art: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: board_art OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    tarnwick::FontLibrary fonts;
    using tarnwick::art::StoneKind;
    bool ok = true;
    // Each look with pictures of its own; the colour-safe look's board is
    // today's.
    for (const tarnwick::board::Palette& palette :
         {tarnwick::board::classicPalette(), tarnwick::board::highContrastPalette(), tarnwick::board::darkPalette()}) {
        for (const char* name : {"tk-board-base-08.bmp", "tk-board-base-10.bmp"}) {
            const int base = std::string_view(name) == "tk-board-base-10.bmp" ? 10 : 8;
            ok = writePicture(folder, tarnwick::board::boardPictureFile(name, palette), tarnwick::art::paintBoard(base, fonts, palette)) && ok;
        }
    }
    ok = writePicture(folder, "stone-lg-black.bmp", tarnwick::art::paintStone(StoneKind::kBlack)) && ok;
    ok = writePicture(folder, "stone-lg-white.bmp", tarnwick::art::paintStone(StoneKind::kWhite)) && ok;
    return ok ? 0 : 1;
}
