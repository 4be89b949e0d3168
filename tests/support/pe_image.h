// Reads a PE program file as bytes: its headers, its import table and its resources. Works on
// 32-bit and 64-bit images alike, so the tests check the shipped 32-bit program directly.
#ifndef QUORVANE_TESTS_PE_IMAGE_H
#define QUORVANE_TESTS_PE_IMAGE_H

#include <cstdint>
#include <string>
#include <vector>

struct PeImport {
    std::string dll;       // as named in the import table
    std::string function;  // by name; "#<ordinal>" when imported by ordinal
};

// A resource's type or name: a number, or a string when `name` is not empty.
struct ResourceKey {
    uint32_t id = 0;
    std::string name;
    static ResourceKey Id(uint32_t value) { return ResourceKey{value, {}}; }
    static ResourceKey Name(const std::string& value) { return ResourceKey{0, value}; }
};

struct PeResource {
    ResourceKey type;
    ResourceKey name;
    uint32_t language = 0;
    std::vector<uint8_t> data;
};

class PeImage {
  public:
    bool Load(const std::string& path);
    const std::string& Error() const { return error_; }

    uint16_t Machine() const { return machine_; }
    bool Is32Bit() const { return optionalMagic_ == 0x10b; }
    uint16_t Subsystem() const;
    uint32_t FileAlignment() const;
    uint16_t MajorOsVersion() const;
    uint16_t MinorOsVersion() const;
    uint16_t MajorSubsystemVersion() const;
    uint16_t MinorSubsystemVersion() const;
    uint32_t TimeDateStamp() const { return timeDateStamp_; }

    std::vector<PeImport> Imports() const;
    const std::vector<PeResource>& Resources() const { return resources_; }
    // The resource of that type and name (any language), or null.
    const PeResource* FindEntry(const ResourceKey& type, const ResourceKey& name) const;
    // A string of the string table, with the language of its block; false when missing.
    bool String(uint32_t id, std::string* text, uint32_t* language = nullptr) const;

  private:
    uint32_t RvaToOffset(uint32_t rva) const;
    uint16_t Optional16(size_t offset) const;
    void ReadResources();
    void ReadResourceDirectory(uint32_t base, uint32_t directory, int level, PeResource partial);
    ResourceKey ReadResourceKey(uint32_t base, uint32_t entry) const;

    struct Section { uint32_t virtualAddress, virtualSize, rawOffset, rawSize; };
    std::vector<uint8_t> bytes_;
    std::vector<Section> sections_;
    std::string error_;
    uint16_t machine_ = 0;
    uint16_t optionalMagic_ = 0;
    uint32_t timeDateStamp_ = 0;
    size_t optionalHeader_ = 0;
    std::vector<PeResource> resources_;
};

#endif
