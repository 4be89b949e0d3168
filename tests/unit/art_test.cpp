// The art as the shipped program carries it: the background picture, the button face, the two
// sounds and the icon, read back from the 32-bit program file and checked field by field, and for
// what a user sees and hears: labels in their boxes, a calm area under the wizard's fields,
// music that is neither silent nor clipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "e2e.h"
#include "pe_image.h"
#include "picture_layout.h"
#include "resource_ids.h"
#include "wave.h"

namespace {

constexpr uint32_t kEnglishUs = 1033;
constexpr uint32_t kBitmapType = 2;      // RT_BITMAP
constexpr uint32_t kIconType = 3;        // RT_ICON
constexpr uint32_t kIconGroupType = 14;  // RT_GROUP_ICON
constexpr size_t kInfoHeaderSize = 40;

uint16_t Get16(const std::vector<uint8_t>& d, size_t at) { return uint16_t(d[at] | (d[at + 1] << 8)); }
uint32_t Get32(const std::vector<uint8_t>& d, size_t at) { return Get16(d, at) | (uint32_t{Get16(d, at + 2)} << 16); }
int32_t GetS32(const std::vector<uint8_t>& d, size_t at) { return static_cast<int32_t>(Get32(d, at)); }
std::string Tag(const std::vector<uint8_t>& d, size_t at) { return std::string(d.begin() + at, d.begin() + at + 4); }

struct Colour {
    int r, g, b;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Colour& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}
Colour ColourOf(uint32_t rgb) { return {int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)}; }
double Luma(const Colour& c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

// An 8-bit DIB resource: header fields, palette and pixels (top row first).
struct Dib {
    uint32_t headerSize, planes, bitCount, compression, imageSize, clrUsed, clrImportant;
    int32_t width, height, xPpm, yPpm;
    std::vector<Colour> palette;
    std::vector<uint8_t> index;

    Colour At(int x, int y) const { return palette[index[size_t(y) * width + x]]; }
    size_t DistinctIndices() const { return std::set<uint8_t>(index.begin(), index.end()).size(); }
    // The colours the pixels show, however many entries hold them.
    size_t DistinctColours() const {
        std::set<int> colours;
        for (uint8_t i : index) colours.insert(palette[i].r << 16 | palette[i].g << 8 | palette[i].b);
        return colours.size();
    }
};

Dib ReadDib(const std::vector<uint8_t>& d) {
    Dib dib{};
    dib.headerSize = Get32(d, 0);
    dib.width = GetS32(d, 4);
    dib.height = GetS32(d, 8);
    dib.planes = Get16(d, 12);
    dib.bitCount = Get16(d, 14);
    dib.compression = Get32(d, 16);
    dib.imageSize = Get32(d, 20);
    dib.xPpm = GetS32(d, 24);
    dib.yPpm = GetS32(d, 28);
    dib.clrUsed = Get32(d, 32);
    dib.clrImportant = Get32(d, 36);
    const size_t paletteAt = dib.headerSize;
    for (int i = 0; i < 256; ++i)
        dib.palette.push_back({d[paletteAt + 4 * i + 2], d[paletteAt + 4 * i + 1], d[paletteAt + 4 * i]});
    const size_t bitsAt = paletteAt + 256 * 4;
    const int w = dib.width, h = std::abs(dib.height);
    dib.index.resize(size_t(w) * h);
    // Positive height: the rows are stored bottom-up.
    for (int y = 0; y < h; ++y) {
        const size_t row = bitsAt + size_t(dib.height > 0 ? h - 1 - y : y) * w;
        std::copy(d.begin() + row, d.begin() + row + w, dib.index.begin() + size_t(y) * w);
    }
    return dib;
}

class ArtOfTheProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(image_.Load(e2e::Win32Dir() + "\\setup.exe")) << image_.Error();
    }
    const PeResource* Find(const ResourceKey& type, const ResourceKey& name) const {
        return image_.FindEntry(type, name);
    }
    PeImage image_;
};

// ---------------------------------------------------------------------------------------------
// The background picture

class ArtPicture : public ArtOfTheProgram {
  protected:
    void SetUp() override {
        ArtOfTheProgram::SetUp();
        resource_ = Find(ResourceKey::Id(kBitmapType), ResourceKey::Name("QUORVANE"));
        ASSERT_NE(nullptr, resource_) << "BITMAP QUORVANE";
        ASSERT_EQ(308266u, resource_->data.size()) << "QUORVANE resource size";
        dib_ = ReadDib(resource_->data);
    }
    const PeResource* resource_ = nullptr;
    Dib dib_;
};

TEST_F(ArtPicture, IsA640By480EightBitBitmapInUsEnglish) {
    EXPECT_EQ(kEnglishUs, resource_->language);
    EXPECT_EQ(kInfoHeaderSize, dib_.headerSize);
    EXPECT_EQ(640, dib_.width);
    EXPECT_EQ(480, dib_.height) << "positive: rows run bottom-up";
    EXPECT_EQ(1u, dib_.planes);
    EXPECT_EQ(8u, dib_.bitCount);
    EXPECT_EQ(0u, dib_.compression) << "BI_RGB";
    EXPECT_EQ(0u, dib_.imageSize);
    EXPECT_EQ(2834, dib_.xPpm);
    EXPECT_EQ(2834, dib_.yPpm);
    EXPECT_EQ(0u, dib_.clrUsed);
    EXPECT_EQ(0u, dib_.clrImportant);
    const size_t end = resource_->data.size();
    EXPECT_EQ(kInfoHeaderSize + 1024 + 640 * 480 + 2, end);
    EXPECT_EQ(0, resource_->data[end - 2]);
    EXPECT_EQ(0, resource_->data[end - 1]);
}

// Windows keeps these twenty in every system palette; a picture that holds them there shows
// without disturbing the desktop's colours.
constexpr uint32_t kStaticLow[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                     0x800080, 0x008080, 0x808080, 0xC0DCC0, 0xA6CAF0};
constexpr uint32_t kStaticHigh[10] = {0xFFFBF0, 0xA0A0A4, 0xC0C0C0, 0xFF0000, 0x00FF00,
                                      0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TEST_F(ArtPicture, KeepsTheStaticColoursInTheFirstAndLastTenEntries) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ColourOf(kStaticLow[i]), dib_.palette[i]) << "palette entry " << i;
        EXPECT_EQ(ColourOf(kStaticHigh[i]), dib_.palette[246 + i]) << "palette entry " << 246 + i;
    }
    EXPECT_EQ((Colour{128, 128, 128}), dib_.palette[7]) << "entry 7 holds the middle grey";
}

// The art generator settles on exactly 98 entries or stops the build; that no two of them hold the
// same colour, a place in the palette taken for nothing, it does not see.
TEST_F(ArtPicture, Uses98PaletteEntriesOfDifferentColours) {
    EXPECT_EQ(98u, dib_.DistinctColours()) << "colours of the picture";
    EXPECT_EQ(dib_.DistinctIndices(), dib_.DistinctColours()) << "palette entries the picture uses";
}

// The picture paints each label inside its box of the layout table (which the template test holds
// against the buttons): light lettering in the box, and none just around it, where it would drift
// towards the button or a neighbour.
constexpr double kLetteringLuma = 200;  // the labels are white to pale gold on a dark ground
constexpr int kAroundLabel = 20;        // pixels around a box that must hold no lettering

bool Inside(const PictureBox& b, int x, int y) { return x >= b.left && x < b.right && y >= b.top && y < b.bottom; }

TEST_F(ArtPicture, PaintsEachMenuLabelInsideItsBox) {
    for (const MenuLabel& m : kMenuLabels) {
        const PictureBox& b = m.box;
        int inside = 0, around = 0;
        for (int y = std::max(0, b.top - kAroundLabel); y < std::min(480, b.bottom + kAroundLabel); ++y) {
            for (int x = std::max(0, b.left - kAroundLabel); x < std::min(640, b.right + kAroundLabel); ++x) {
                if (Luma(dib_.At(x, y)) < kLetteringLuma) continue;
                if (Inside(b, x, y)) ++inside; else ++around;
            }
        }
        EXPECT_GE(inside, 100) << "light lettering in the box of the label " << m.text;
        EXPECT_EQ(0, around) << "light pixels just outside the box of the label " << m.text;
    }
}

TEST_F(ArtPicture, KeepsTheAreaUnderTheWizardFieldsDarkAndCalm) {
    // The wizard's fields, status line and buttons lie inside the calm area under every layout; it
    // must stay quiet so that their texts read well.
    double sum = 0;
    int count = 0;
    double steepest = 0;
    const PictureBox& calm = kCalmArea;
    for (int y = calm.top; y < std::min(calm.bottom, 479); ++y) {
        for (int x = calm.left; x < std::min(calm.right, 639); ++x) {
            const double l = Luma(dib_.At(x, y));
            sum += l;
            ++count;
            steepest = std::max(steepest, std::fabs(Luma(dib_.At(x + 1, y)) - l));
            steepest = std::max(steepest, std::fabs(Luma(dib_.At(x, y + 1)) - l));
        }
    }
    EXPECT_LT(sum / count, 30.0) << "mean brightness under the fields";
    EXPECT_LT(steepest, 24.0) << "largest step between neighbouring pixels: no edges, stars or lettering there";
}

// ---------------------------------------------------------------------------------------------
// The button face

class ArtButton : public ArtOfTheProgram {
  protected:
    void SetUp() override {
        ArtOfTheProgram::SetUp();
        resource_ = Find(ResourceKey::Id(kBitmapType), ResourceKey::Name("VEXELBUTTON"));
        ASSERT_NE(nullptr, resource_) << "BITMAP VEXELBUTTON";
        ASSERT_EQ(2088u, resource_->data.size()) << "VEXELBUTTON resource size";
        dib_ = ReadDib(resource_->data);
    }
    const PeResource* resource_ = nullptr;
    Dib dib_;
};

TEST_F(ArtButton, IsA32By32EightBitBitmapInUsEnglish) {
    EXPECT_EQ(kEnglishUs, resource_->language);
    EXPECT_EQ(kInfoHeaderSize, dib_.headerSize);
    EXPECT_EQ(32, dib_.width);
    EXPECT_EQ(32, dib_.height);
    EXPECT_EQ(1u, dib_.planes);
    EXPECT_EQ(8u, dib_.bitCount);
    EXPECT_EQ(0u, dib_.compression);
    EXPECT_EQ(1024u, dib_.imageSize);
    EXPECT_EQ(0, dib_.xPpm);
    EXPECT_EQ(0, dib_.yPpm);
    EXPECT_EQ(256u, dib_.clrUsed);
    EXPECT_EQ(256u, dib_.clrImportant);
}

constexpr uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                               0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TEST_F(ArtButton, KeepsTheSixteenVgaColoursInTheFirstAndLastEightEntries) {
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ColourOf(kVga[i]), dib_.palette[i]) << "palette entry " << i;
        EXPECT_EQ(ColourOf(kVga[8 + i]), dib_.palette[248 + i]) << "palette entry " << 248 + i;
    }
}

// As for the picture: 61 entries, which the generator holds to, of as many colours, which it does not.
TEST_F(ArtButton, Uses61PaletteEntriesOfDifferentColours) {
    EXPECT_EQ(61u, dib_.DistinctColours()) << "colours of the button face";
    EXPECT_EQ(dib_.DistinctIndices(), dib_.DistinctColours()) << "palette entries the button face uses";
}

TEST_F(ArtButton, KeepsAShapeWhenTheButtonIsGreyedOut) {
    // A disabled bitmap button shows every non-white pixel as one flat colour: the face needs
    // white pixels to keep an outline, but not so many that it turns into a white square.
    int white = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (dib_.At(x, y) == (Colour{255, 255, 255})) ++white;
    EXPECT_GE(white, 48) << "white pixels of the face";
    EXPECT_LE(white, 256) << "white pixels of the face";
}

// ---------------------------------------------------------------------------------------------
// The sounds

using wave::Wave;

class ArtSound : public ArtOfTheProgram {
  protected:
    const PeResource* Sound(uint32_t id) const {
        return Find(ResourceKey::Name(WAVE_TYPE_NAME), ResourceKey::Id(id));
    }
};

struct SoundFormat {
    uint32_t id;
    size_t resourceSize;
    uint16_t channels;
    uint32_t rate;
    uint32_t frames;
};
constexpr SoundFormat kSetupSound = {IDW_SETUP_SOUND, 3204644, 2, 44100, 801150};
constexpr SoundFormat kRunSound = {IDW_RUN_SOUND, 952940, 1, 22050, 476448};

void ExpectFormat(const PeResource* r, const SoundFormat& f) {
    ASSERT_NE(nullptr, r) << "WAVE " << f.id;
    EXPECT_EQ(kEnglishUs, r->language) << "WAVE " << f.id;
    ASSERT_EQ(f.resourceSize, r->data.size()) << "WAVE " << f.id;
    const Wave w = wave::Read(r->data);
    EXPECT_EQ(f.resourceSize - 8, w.riffSize) << "RIFF size of WAVE " << f.id;
    EXPECT_EQ((std::vector<std::string>{"fmt ", "data"}), w.chunks) << "chunks of WAVE " << f.id;
    EXPECT_EQ(16u, w.fmtSize);
    EXPECT_EQ(1, w.format) << "PCM";
    EXPECT_EQ(f.channels, w.channels);
    EXPECT_EQ(f.rate, w.rate);
    EXPECT_EQ(f.rate * f.channels * 2, w.byteRate);
    EXPECT_EQ(f.channels * 2, w.blockAlign);
    EXPECT_EQ(16, w.bits);
    EXPECT_EQ(f.frames * f.channels * 2, w.dataSize);
    EXPECT_EQ(size_t(f.frames) * f.channels, w.samples.size());
}

// What a listener would notice: silence, clipping, gaps, clicks at the ends, a flat tone.
void ExpectMusic(const PeResource* r, const SoundFormat& f) {
    ASSERT_NE(nullptr, r) << "WAVE " << f.id;
    const Wave w = wave::Read(r->data);
    ASSERT_EQ(size_t(f.frames) * f.channels, w.samples.size());
    const std::vector<int16_t>& s = w.samples;
    double energy = 0;
    int peak = 0;
    for (int16_t v : s) {
        energy += double(v) * v;
        peak = std::max(peak, std::abs(int(v)));
    }
    const double rms = std::sqrt(energy / s.size());
    EXPECT_GT(rms, 1500.0) << "RMS level of WAVE " << f.id;
    EXPECT_LT(peak, 32767) << "peak of WAVE " << f.id << " reaches full scale";
    EXPECT_GT(peak, 8000) << "peak of WAVE " << f.id;

    // No stretch of digital silence longer than 50 ms between the first half second and the last
    // two seconds, where the piece fades out.
    const size_t ch = f.channels;
    const size_t from = f.rate / 2 * ch, to = (f.frames - 2 * f.rate) * ch;
    size_t run = 0, longest = 0;
    for (size_t i = from; i < to; ++i) {
        run = (s[i] == 0) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LT(longest, size_t(f.rate / 20 * ch)) << "longest run of zero samples in WAVE " << f.id;

    // Faded in and out: the ends start and stop near zero instead of with a click.
    for (size_t c = 0; c < ch; ++c) {
        EXPECT_LT(std::abs(int(s[c])), 64) << "first sample of WAVE " << f.id;
        EXPECT_LT(std::abs(int(s[s.size() - ch + c])), 64) << "last sample of WAVE " << f.id;
    }

    // Music moves: the level over quarter seconds rises and falls with the notes, where a bare
    // tone or a steady noise would stay flat.
    const size_t window = f.rate / 4 * ch;
    std::vector<double> levels;
    for (size_t at = f.rate * ch; at + window < to; at += window) {
        double e = 0;
        for (size_t i = at; i < at + window; ++i) e += double(s[i]) * s[i];
        levels.push_back(std::sqrt(e / window));
    }
    ASSERT_FALSE(levels.empty());
    double mean = 0;
    for (double l : levels) mean += l;
    mean /= levels.size();
    double var = 0;
    for (double l : levels) var += (l - mean) * (l - mean);
    const double variation = std::sqrt(var / levels.size()) / mean;
    EXPECT_GT(variation, 0.05) << "relative variation of the quarter-second level of WAVE " << f.id;
    EXPECT_LT(*std::min_element(levels.begin(), levels.end()), mean)
        << "quietest quarter second of WAVE " << f.id;
}

TEST_F(ArtSound, SetupSoundIsSixteenBitStereoPcmAt44100Hertz) {
    ExpectFormat(Sound(IDW_SETUP_SOUND), kSetupSound);
}

TEST_F(ArtSound, RunSoundIsSixteenBitMonoPcmAt22050Hertz) {
    ExpectFormat(Sound(IDW_RUN_SOUND), kRunSound);
}

TEST_F(ArtSound, SetupSoundIsMusicNeitherSilentNorClipped) {
    ExpectMusic(Sound(IDW_SETUP_SOUND), kSetupSound);
}

TEST_F(ArtSound, RunSoundIsMusicNeitherSilentNorClipped) {
    ExpectMusic(Sound(IDW_RUN_SOUND), kRunSound);
}

TEST_F(ArtSound, SetupSoundUsesBothChannels) {
    const PeResource* r = Sound(IDW_SETUP_SOUND);
    ASSERT_NE(nullptr, r);
    const Wave w = wave::Read(r->data);
    ASSERT_EQ(2, w.channels);
    double sum = 0, difference = 0;
    for (size_t i = 0; i + 1 < w.samples.size(); i += 2) {
        sum += std::fabs(double(w.samples[i]) + w.samples[i + 1]);
        difference += std::fabs(double(w.samples[i]) - w.samples[i + 1]);
    }
    EXPECT_GT(difference, sum * 0.05) << "left and right differ: a stereo piece, not one channel twice";
}

// ---------------------------------------------------------------------------------------------
// The icon

struct IconFormat {
    int size, bits;
};
constexpr IconFormat kIconImages[7] = {{16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8}, {64, 8}};

class ArtIcon : public ArtOfTheProgram {
  protected:
    void SetUp() override {
        ArtOfTheProgram::SetUp();
        group_ = Find(ResourceKey::Id(kIconGroupType), ResourceKey::Name("SETUP_ICON"));
        ASSERT_NE(nullptr, group_) << "GROUP_ICON SETUP_ICON";
    }
    const PeResource* group_ = nullptr;
};

TEST_F(ArtIcon, GroupListsSevenImagesInOrderInUsEnglish) {
    EXPECT_EQ(kEnglishUs, group_->language);
    const std::vector<uint8_t>& g = group_->data;
    ASSERT_EQ(6u + 7 * 14, g.size());
    EXPECT_EQ(0, Get16(g, 0));
    EXPECT_EQ(1, Get16(g, 2)) << "icon, not cursor";
    ASSERT_EQ(7, Get16(g, 4));
    for (int i = 0; i < 7; ++i) {
        const size_t e = 6 + 14 * size_t(i);
        const IconFormat& f = kIconImages[i];
        SCOPED_TRACE("group entry " + std::to_string(i + 1));
        EXPECT_EQ(f.size, g[e]) << "width";
        EXPECT_EQ(f.size, g[e + 1]) << "height";
        EXPECT_EQ(f.bits == 4 ? 16 : 0, g[e + 2]) << "colour count";
        EXPECT_EQ(0, g[e + 3]);
        EXPECT_EQ(1, Get16(g, e + 4)) << "planes";
        EXPECT_EQ(f.bits, Get16(g, e + 6)) << "bits per pixel";
        EXPECT_EQ(uint32_t(i + 1), uint32_t(Get16(g, e + 12))) << "icon id";
    }
}

TEST_F(ArtIcon, EachImageMatchesItsGroupEntry) {
    const std::vector<uint8_t>& g = group_->data;
    ASSERT_EQ(6u + 7 * 14, g.size());
    for (int i = 0; i < 7; ++i) {
        const size_t e = 6 + 14 * size_t(i);
        const IconFormat& f = kIconImages[i];
        const uint16_t id = Get16(g, e + 12);
        SCOPED_TRACE("icon " + std::to_string(id));
        const PeResource* icon = Find(ResourceKey::Id(kIconType), ResourceKey::Id(id));
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(kEnglishUs, icon->language);
        const std::vector<uint8_t>& d = icon->data;
        EXPECT_EQ(Get32(g, e + 8), d.size()) << "size named by the group";
        const size_t xorStride = ((f.size * f.bits + 31) / 32) * 4, andStride = ((f.size + 31) / 32) * 4;
        const size_t paletteBytes = 4u << f.bits;
        ASSERT_EQ(kInfoHeaderSize + paletteBytes + (xorStride + andStride) * f.size, d.size());
        EXPECT_EQ(kInfoHeaderSize, Get32(d, 0));
        EXPECT_EQ(f.size, GetS32(d, 4));
        EXPECT_EQ(2 * f.size, GetS32(d, 8)) << "height counts the colour bits and the mask";
        EXPECT_EQ(1, Get16(d, 12));
        EXPECT_EQ(f.bits, Get16(d, 14));
        EXPECT_EQ(0u, Get32(d, 16)) << "BI_RGB";
        // The mask shapes the mark: some pixels show the desktop, some the mark.
        const size_t maskAt = kInfoHeaderSize + paletteBytes + xorStride * f.size;
        int transparent = 0;
        for (int y = 0; y < f.size; ++y)
            for (int x = 0; x < f.size; ++x)
                if (d[maskAt + y * andStride + x / 8] & (0x80 >> (x % 8))) ++transparent;
        EXPECT_GT(transparent, f.size * f.size / 5) << "transparent pixels";
        EXPECT_LT(transparent, f.size * f.size * 4 / 5) << "transparent pixels";
    }
}

}  // namespace
