// Placeholder art generator: right formats, flat content. Replaced by the real art.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
static void U16(Bytes& b, uint32_t v) { b.push_back(v & 0xFF); b.push_back((v >> 8) & 0xFF); }
static void U32(Bytes& b, uint32_t v) { U16(b, v & 0xFFFF); U16(b, v >> 16); }
static void Save(const std::string& path, const Bytes& b) {
    FILE* f = fopen(path.c_str(), "wb"); fwrite(b.data(), 1, b.size(), f); fclose(f);
}
static Bytes Bitmap(int w, int h, uint32_t ppm, uint32_t used, uint32_t imageSize, int trailing) {
    Bytes b; b.push_back('B'); b.push_back('M');
    uint32_t size = 14 + 40 + 1024 + w * h + trailing;
    U32(b, size); U32(b, 0); U32(b, 14 + 40 + 1024);
    U32(b, 40); U32(b, w); U32(b, h); U16(b, 1); U16(b, 8); U32(b, 0); U32(b, imageSize);
    U32(b, ppm); U32(b, ppm); U32(b, used); U32(b, used);
    for (int i = 0; i < 256; ++i) { U32(b, (i << 16) | (i << 8) | i); }
    for (int i = 0; i < w * h; ++i) b.push_back((i / w) % 200);
    for (int i = 0; i < trailing; ++i) b.push_back(0);
    return b;
}
static Bytes Wave(int channels, int rate, uint32_t frames) {
    Bytes b; uint32_t data = frames * channels * 2;
    b.insert(b.end(), {'R','I','F','F'}); U32(b, 36 + data); b.insert(b.end(), {'W','A','V','E','f','m','t',' '});
    U32(b, 16); U16(b, 1); U16(b, channels); U32(b, rate); U32(b, rate * channels * 2); U16(b, channels * 2); U16(b, 16);
    b.insert(b.end(), {'d','a','t','a'}); U32(b, data); b.resize(b.size() + data, 0);
    return b;
}
int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string dir = argv[1];
    Save(dir + "/quorvane.bmp", Bitmap(640, 480, 2834, 0, 0, 2));
    Save(dir + "/vexelbutton.bmp", Bitmap(32, 32, 0, 256, 1024, 0));
    Save(dir + "/setup.wav", Wave(2, 44100, 801150));
    Save(dir + "/run.wav", Wave(1, 22050, 476448));
    Bytes ico; U16(ico, 0); U16(ico, 1); U16(ico, 1);
    ico.push_back(16); ico.push_back(16); ico.push_back(16); ico.push_back(0); U16(ico, 1); U16(ico, 4);
    uint32_t sz = 40 + 64 + 128 + 64; U32(ico, sz); U32(ico, 22);
    U32(ico, 40); U32(ico, 16); U32(ico, 32); U16(ico, 1); U16(ico, 4); U32(ico, 0); U32(ico, 0); U32(ico, 0); U32(ico, 0); U32(ico, 0); U32(ico, 0);
    for (int i = 0; i < 16; ++i) U32(ico, i * 0x111111);
    ico.resize(ico.size() + 128 + 64, 0x11);
    Save(dir + "/setup.ico", ico);
    return 0;
}
