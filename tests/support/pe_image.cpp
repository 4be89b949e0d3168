#include "pe_image.h"

#include <cstdio>
#include <cstring>

namespace {
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? static_cast<uint16_t>(b[at] | (b[at + 1] << 8)) : 0;
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? static_cast<uint32_t>(Get16(b, at) | (Get16(b, at + 2) << 16)) : 0;
}
}  // namespace

bool PeImage::Load(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) { error_ = "cannot open " + path; return false; }
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes_.insert(bytes_.end(), chunk, chunk + n);
    fclose(file);
    if (Get16(bytes_, 0) != 0x5A4D) { error_ = "no MZ header"; return false; }
    const uint32_t pe = Get32(bytes_, 0x3C);
    if (Get32(bytes_, pe) != 0x00004550) { error_ = "no PE signature"; return false; }
    machine_ = Get16(bytes_, pe + 4);
    const uint16_t sectionCount = Get16(bytes_, pe + 6);
    timeDateStamp_ = Get32(bytes_, pe + 8);
    const uint16_t optionalSize = Get16(bytes_, pe + 20);
    optionalHeader_ = pe + 24;
    optionalMagic_ = Get16(bytes_, optionalHeader_);
    const size_t sectionTable = optionalHeader_ + optionalSize;
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const size_t s = sectionTable + i * 40u;
        sections_.push_back({Get32(bytes_, s + 12), Get32(bytes_, s + 8), Get32(bytes_, s + 20),
                             Get32(bytes_, s + 16)});
    }
    ReadResources();
    return true;
}

uint16_t PeImage::Optional16(size_t offset) const { return Get16(bytes_, optionalHeader_ + offset); }
uint16_t PeImage::MajorOsVersion() const { return Optional16(40); }
uint16_t PeImage::MinorOsVersion() const { return Optional16(42); }
uint16_t PeImage::MajorSubsystemVersion() const { return Optional16(48); }
uint16_t PeImage::MinorSubsystemVersion() const { return Optional16(50); }
uint16_t PeImage::Subsystem() const { return Optional16(68); }
uint32_t PeImage::FileAlignment() const { return Get32(bytes_, optionalHeader_ + 36); }

uint32_t PeImage::RvaToOffset(uint32_t rva) const {
    for (const Section& s : sections_) {
        const uint32_t size = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva < s.virtualAddress + size) {
            return rva - s.virtualAddress + s.rawOffset;
        }
    }
    return 0;
}

std::vector<PeImport> PeImage::Imports() const {
    std::vector<PeImport> imports;
    // Data directory 1 (imports) sits behind the fields that differ between PE32 and PE32+.
    const size_t directories = optionalHeader_ + (Is32Bit() ? 96 : 112);
    const uint32_t importRva = Get32(bytes_, directories + 8);
    if (importRva == 0) return imports;
    for (uint32_t d = RvaToOffset(importRva);; d += 20) {
        const uint32_t lookupRva = Get32(bytes_, d) != 0 ? Get32(bytes_, d) : Get32(bytes_, d + 16);
        const uint32_t nameRva = Get32(bytes_, d + 12);
        if (nameRva == 0) break;
        const std::string dll = reinterpret_cast<const char*>(&bytes_[RvaToOffset(nameRva)]);
        const uint32_t step = Is32Bit() ? 4 : 8;
        for (uint32_t t = RvaToOffset(lookupRva);; t += step) {
            const uint64_t entry = Is32Bit() ? Get32(bytes_, t)
                                             : (Get32(bytes_, t) | (uint64_t{Get32(bytes_, t + 4)} << 32));
            if (entry == 0) break;
            const bool byOrdinal = Is32Bit() ? (entry & 0x80000000u) != 0 : (entry >> 63) != 0;
            if (byOrdinal) {
                imports.push_back({dll, "#" + std::to_string(entry & 0xFFFF)});
            } else {
                const uint32_t hint = RvaToOffset(static_cast<uint32_t>(entry & 0x7FFFFFFF));
                imports.push_back({dll, reinterpret_cast<const char*>(&bytes_[hint + 2])});
            }
        }
    }
    return imports;
}

ResourceKey PeImage::ReadResourceKey(uint32_t base, uint32_t entry) const {
    const uint32_t value = Get32(bytes_, entry);
    if ((value & 0x80000000u) == 0) return ResourceKey::Id(value);
    const uint32_t at = base + (value & 0x7FFFFFFF);
    const uint16_t length = Get16(bytes_, at);
    std::string name;
    for (uint16_t i = 0; i < length; ++i) name += static_cast<char>(Get16(bytes_, at + 2 + i * 2u));
    return ResourceKey::Name(name);
}

void PeImage::ReadResourceDirectory(uint32_t base, uint32_t directory, int level, PeResource partial) {
    const uint16_t entries = Get16(bytes_, directory + 12) + Get16(bytes_, directory + 14);
    for (uint16_t i = 0; i < entries; ++i) {
        const uint32_t entry = directory + 16 + i * 8u;
        const ResourceKey key = ReadResourceKey(base, entry);
        const uint32_t target = Get32(bytes_, entry + 4);
        PeResource next = partial;
        if (level == 0) next.type = key;
        if (level == 1) next.name = key;
        if (level == 2) next.language = key.id;
        if ((target & 0x80000000u) != 0) {
            ReadResourceDirectory(base, base + (target & 0x7FFFFFFF), level + 1, next);
        } else {
            const uint32_t dataEntry = base + target;
            const uint32_t offset = RvaToOffset(Get32(bytes_, dataEntry));
            const uint32_t size = Get32(bytes_, dataEntry + 4);
            if (offset != 0 && offset + size <= bytes_.size()) {
                next.data.assign(bytes_.begin() + offset, bytes_.begin() + offset + size);
            }
            resources_.push_back(next);
        }
    }
}

void PeImage::ReadResources() {
    const size_t directories = optionalHeader_ + (Is32Bit() ? 96 : 112);
    const uint32_t resourceRva = Get32(bytes_, directories + 16);
    if (resourceRva == 0) return;
    const uint32_t base = RvaToOffset(resourceRva);
    ReadResourceDirectory(base, base, 0, PeResource{});
}

const PeResource* PeImage::FindEntry(const ResourceKey& type, const ResourceKey& name) const {
    for (const PeResource& r : resources_) {
        if (r.type.id == type.id && r.type.name == type.name && r.name.id == name.id &&
            r.name.name == name.name) {
            return &r;
        }
    }
    return nullptr;
}

bool PeImage::String(uint32_t id, std::string* text, uint32_t* language) const {
    const PeResource* block = FindEntry(ResourceKey::Id(6), ResourceKey::Id(id / 16 + 1));
    if (block == nullptr) return false;
    size_t at = 0;
    for (uint32_t i = 0; i < 16; ++i) {
        const uint16_t length = Get16(block->data, at);
        at += 2;
        if (i == id % 16) {
            if (length == 0) return false;
            text->clear();
            for (uint16_t c = 0; c < length; ++c) text->push_back(static_cast<char>(Get16(block->data, at + c * 2u)));
            if (language != nullptr) *language = block->language;
            return true;
        }
        at += length * 2u;
    }
    return false;
}
