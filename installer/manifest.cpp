#include "manifest.h"

extern constexpr const char* const CoreFileList[] = {
    // RootFiles
    "quor.exe", "setup.exe", "glide.dll", "glide2x.dll", "sst1init.dll", "test.level",
    "quorvane.cd", "a3d.dll", "resource.res", "fxmemmap.vxd",
    // EngineResFiles
    "kq_res\\bground.tga", "kq_res\\closicon.pcx", "kq_res\\downicon.pcx", "kq_res\\kq.res",
    "kq_res\\lefticon.pcx", "kq_res\\minus.pcx", "kq_res\\normcurs.pcx", "kq_res\\normfont.pcx",
    "kq_res\\oldfont.pcx", "kq_res\\pal.pcx", "kq_res\\plus.pcx", "kq_res\\rigticon.pcx",
    "kq_res\\sqr2curs.pcx", "kq_res\\textcurs.pcx", "kq_res\\upicon.pcx",
    nullptr};

extern constexpr const char* const DataFileList[] = {
    // ResFiles
    "res\\backward.bmp", "res\\closicon.pcx", "res\\delete.bmp", "res\\downicon.pcx",
    "res\\fforward.bmp", "res\\forward.bmp", "res\\lefticon.pcx", "res\\movecurs.pcx",
    "res\\normcurs.pcx", "res\\normfont.pcx", "res\\pal.pcx", "res\\play.bmp", "res\\rewind.bmp",
    "res\\rigticon.pcx", "res\\sqr_curs.pcx", "res\\sqr2curs.pcx", "res\\textcurs.pcx",
    "res\\upicon.pcx", "res\\cells.res", "res\\constants.res", "res\\editor.res", "res\\g1.res",
    "res\\models.res", "res\\songs.res",
    // BitmapFiles
    "bitmaps\\camera.bmp", "bitmaps\\camera_add.bmp", "bitmaps\\fill.bmp", "bitmaps\\height.bmp",
    "bitmaps\\horizon.pcx", "bitmaps\\horizon2.pcx", "bitmaps\\lambient.bmp",
    "bitmaps\\lcreate.bmp", "bitmaps\\letter-0.bmp", "bitmaps\\letter-1.bmp",
    "bitmaps\\letter-2.bmp", "bitmaps\\letter-3.bmp", "bitmaps\\letter-4.bmp",
    "bitmaps\\letter-5.bmp", "bitmaps\\letter-6.bmp", "bitmaps\\letter-7.bmp",
    "bitmaps\\letter-8.bmp", "bitmaps\\letter-9.bmp", "bitmaps\\letter-comma.bmp",
    "bitmaps\\letter-dollar.bmp", "bitmaps\\light.bmp", "bitmaps\\move.bmp", "bitmaps\\obj_add.bmp",
    "bitmaps\\object.bmp", "bitmaps\\play.bmp", "bitmaps\\rotate.bmp", "bitmaps\\select.bmp",
    "bitmaps\\spin.bmp", "bitmaps\\target.bmp", "bitmaps\\tile.bmp", "bitmaps\\zoom.bmp",
    "bitmaps\\build_0.tga", "bitmaps\\build_1.tga", "bitmaps\\build_2.tga", "bitmaps\\build_3.tga",
    "bitmaps\\build_4.tga", "bitmaps\\build_5.tga", "bitmaps\\build_6.tga", "bitmaps\\build_7.tga",
    "bitmaps\\build_8.tga", "bitmaps\\build_9.tga", "bitmaps\\build_10.tga",
    "bitmaps\\build_11.tga", "bitmaps\\buildh_0.tga", "bitmaps\\buildh_1.tga",
    "bitmaps\\buildh_2.tga", "bitmaps\\buildh_3.tga", "bitmaps\\buildh_4.tga",
    "bitmaps\\buildh_5.tga", "bitmaps\\buildh_6.tga", "bitmaps\\buildh_7.tga",
    "bitmaps\\buildh_8.tga", "bitmaps\\buildh_9.tga", "bitmaps\\buildh_10.tga",
    "bitmaps\\buildh_11.tga", "bitmaps\\builds_0.tga", "bitmaps\\builds_1.tga",
    "bitmaps\\builds_2.tga", "bitmaps\\builds_3.tga", "bitmaps\\builds_4.tga",
    "bitmaps\\builds_5.tga", "bitmaps\\builds_6.tga", "bitmaps\\builds_7.tga",
    "bitmaps\\builds_8.tga", "bitmaps\\builds_9.tga", "bitmaps\\builds_10.tga",
    "bitmaps\\builds_11.tga", "bitmaps\\frame.tga", "bitmaps\\help.tga", "bitmaps\\lit_load.tga",
    "bitmaps\\lit_network.tga", "bitmaps\\lit_newgame.tga", "bitmaps\\lit_options.tga",
    "bitmaps\\lit_quit.tga", "bitmaps\\lit_save.tga", "bitmaps\\net1.tga", "bitmaps\\net2.tga",
    "bitmaps\\net3.tga", "bitmaps\\pick1.tga", "bitmaps\\pick2.tga", "bitmaps\\startup.tga",
    "bitmaps\\title_screen.tga",
    // SfxMp3Files
    "sfx\\8acc3863.mp3", "sfx\\ec317925.mp3", "sfx\\64b5adeb.mp3", "sfx\\d0ea4265.mp3",
    "sfx\\e4e53bee.mp3", "sfx\\45dc5e10.mp3", "sfx\\f6fb2d9a.mp3", "sfx\\addb3d64.mp3",
    "sfx\\be1dd319.mp3", "sfx\\a48ef205.mp3", "sfx\\56a7da7d.mp3", "sfx\\f42ce71a.mp3",
    "sfx\\da7c3904.mp3", "sfx\\c1c51769.mp3", "sfx\\fe7cb4b8.mp3", "sfx\\3c898f9.mp3",
    "sfx\\885cc7c2.mp3", "sfx\\84da33b4.mp3", "sfx\\3c2d6d3a.mp3", "sfx\\885bea4a.mp3",
    "sfx\\1cd0d9d4.mp3", "sfx\\ddb992ea.mp3", "sfx\\c897eb.mp3", "sfx\\dce8a9fd.mp3",
    "sfx\\19e82bcf.mp3", "sfx\\fff7aefe.mp3", "sfx\\96ec5d4b.mp3", "sfx\\c39f18eb.mp3",
    "sfx\\e6ae1dec.mp3", "sfx\\9bd22ed.mp3", "sfx\\55df794.mp3", "sfx\\10f4d48d.mp3",
    "sfx\\3303d98e.mp3", "sfx\\5612de8f.mp3", "sfx\\7921e390.mp3", "sfx\\9c30e891.mp3",
    "sfx\\bf3fed92.mp3", "sfx\\e24ef293.mp3", "sfx\\ede5cf8c.mp3", "sfx\\9223ff28.mp3",
    "sfx\\1e5f132c.mp3", "sfx\\416e182d.mp3", "sfx\\647d1d2e.mp3", "sfx\\878c222f.mp3",
    "sfx\\aa9b2730.mp3", "sfx\\a7290028.mp3", "sfx\\ca380529.mp3", "sfx\\ed470a2a.mp3",
    "sfx\\861971d1.mp3", "sfx\\d7ce58cc.mp3", "sfx\\fadd5dcd.mp3", "sfx\\1dec62ce.mp3",
    "sfx\\b4bf53cb.mp3", "sfx\\8a802060.mp3", "sfx\\d09e2a62.mp3", "sfx\\c2ccd1de.mp3",
    "sfx\\3e16517b.mp3", "sfx\\4f989b67.mp3", "sfx\\a3bfa96a.mp3", "sfx\\cecb86d.mp3",
    "sfx\\2ffbbd6e.mp3", "sfx\\520ac26f.mp3", "sfx\\8ff3a373.mp3", "sfx\\fa11e05f.mp3",
    "sfx\\6cf05fe.mp3", "sfx\\2d78b010.mp3", "sfx\\dddabbfb.mp3", "sfx\\5da19f68.mp3",
    "sfx\\80b0a469.mp3", "sfx\\c6ceae6b.mp3", "sfx\\72a7a068.mp3", "sfx\\2153115d.mp3",
    "sfx\\4462165e.mp3", "sfx\\67711b5f.mp3", "sfx\\303e7c5a.mp3", "sfx\\93e498bd.mp3",
    "sfx\\ef27ca39.mp3", "sfx\\fe4199a9.mp3", "sfx\\24a923f8.mp3", "sfx\\b44b2d1d.mp3",
    "sfx\\825507c.mp3",
    nullptr};

extern constexpr const char* const WaveFileList[] = {
    // SfxWavFiles
    "sfx\\16008c44.wav", "sfx\\313716b6.wav", "sfx\\3b21c209.wav", "sfx\\62bfc8be.wav",
    "sfx\\7712fd39.wav", "sfx\\b1e51eb4.wav", "sfx\\b4e51ba6.wav",
    nullptr};

extern constexpr const char* const ExtraFileList[] = {
    // MusicMp3Files
    "score.mp3", "level.mp3",
    // ReadmeFile
    "\\docs\\README.doc",
    nullptr};

int ConvertedStemLength(const char* mp3Entry) {
    int length = 0;
    while (mp3Entry[length] != '\0') ++length;
    return length >= 3 ? length - 3 : 0;
}

bool MakeConvertedName(char* out, int capacity, const char* mp3Entry) {
    static constexpr char kWave[] = "wav";
    const int stem = ConvertedStemLength(mp3Entry);
    if (stem + 3 + 1 > capacity) {
        if (capacity > 0) out[0] = '\0';
        return false;
    }
    for (int i = 0; i < stem; ++i) out[i] = mp3Entry[i];
    for (int i = 0; i < 3; ++i) out[stem + i] = kWave[i];
    out[stem + 3] = '\0';
    return true;
}

namespace {

constexpr int LongestEntry(const char* const* list) {
    int longest = 0;
    for (; *list != nullptr; ++list) {
        int length = 0;
        while ((*list)[length] != '\0') ++length;
        if (length > longest) longest = length;
    }
    return longest;
}

constexpr int Longer(int one, int other) { return one > other ? one : other; }

static_assert(Longer(Longer(LongestEntry(CoreFileList), LongestEntry(DataFileList)),
                     Longer(LongestEntry(WaveFileList), LongestEntry(ExtraFileList))) == kLongestEntryChars,
              "the longest entry decides the longest destination");

}  // namespace
