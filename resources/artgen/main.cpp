// artgen: paints the setup program's pictures, composes its two sounds and draws its icon, all from
// code, so the repository holds no binary art. Run as `artgen <outdir>`; it writes quorvane.bmp,
// vexelbutton.bmp, setup.wav, run.wav and setup.ico. The output depends on these sources alone (no
// clock, no seeds from outside), so two builds give the same bytes. Each piece of art has its own
// header here, included once, by this file.
//
// Pictures are painted in floating-point colour and then reduced to an 8-bit palette. How many
// palette entries each picture uses is part of its resource format, so the reduction settles on
// exactly that many.
#include <cstdio>
#include <string>

#include "bitmap_file.h"
#include "button.h"
#include "icon.h"
#include "picture.h"
#include "sounds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <outdir>\n");
        return 2;
    }
    const std::string dir = argv[1];
    const Indexed background = PaintBackground();
    const Indexed button = PaintButton();
    if (background.used != 98 || button.used != 61) return 1;
    bool ok = Save(dir + "/quorvane.bmp", BitmapFile(background, kPictureW, kPictureH, 0, 2834, 0, 2));
    ok = Save(dir + "/vexelbutton.bmp", BitmapFile(button, 32, 32, 1024, 0, 256, 0)) && ok;
    ok = Save(dir + "/setup.wav", SetupSound()) && ok;
    ok = Save(dir + "/run.wav", RunSound()) && ok;
    ok = Save(dir + "/setup.ico", IconFile()) && ok;
    if (!ok) std::fprintf(stderr, "artgen: could not write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
