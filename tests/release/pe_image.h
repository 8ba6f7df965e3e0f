// Reads the headers, sections, imports and relocations of a 32-bit PE file from its bytes, bounds-checked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PeImport {
    std::string dll;
    std::vector<std::string> names; // imports by name; by-ordinal imports appear as "#N"
};

class PeImage {
public:
    // Parses bytes; Error() says why when they are not a well-formed PE32 image.
    explicit PeImage(std::vector<unsigned char> bytes);

    bool Ok() const { return error_.empty(); }
    const std::string &Error() const { return error_; }

    const std::vector<unsigned char> &Bytes() const { return bytes_; }
    const IMAGE_FILE_HEADER &File() const { return file_; }
    const IMAGE_OPTIONAL_HEADER32 &Optional() const { return opt_; }
    const std::vector<IMAGE_SECTION_HEADER> &Sections() const { return sections_; }
    static std::string SectionName(const IMAGE_SECTION_HEADER &s); // up to 8 characters

    // Data directory entry (IMAGE_DIRECTORY_ENTRY_...); zero when absent.
    IMAGE_DATA_DIRECTORY Directory(int index) const;

    // File offset of size bytes at an RVA inside one section's raw data; -1 when they are not.
    long RvaToOffset(DWORD rva, DWORD size = 1) const;

    // The zero-terminated string at an RVA; false when it runs off its section.
    bool StringAt(DWORD rva, std::string *out) const;

    // The import table and the delay-load table, in table order. False, with the reason in *why,
    // when a table is malformed.
    bool Imports(std::vector<PeImport> *out, std::string *why) const;
    bool DelayImports(std::vector<PeImport> *out, std::string *why) const;

    // Checks that the relocation blocks tile the relocation directory exactly; counts the entries
    // and collects the entry types seen. False, with the reason in *why, when a block is malformed.
    bool WalkRelocations(int *entries, std::vector<int> *types, std::string *why) const;

private:
    template <class T> bool ReadAt(long offset, T *out) const;
    template <class T> bool ReadRva(DWORD rva, T *out) const;
    bool ThunkNames(DWORD thunkRva, std::vector<std::string> *names, std::string *why) const;

    std::vector<unsigned char> bytes_;
    std::string error_;
    IMAGE_FILE_HEADER file_ = {};
    IMAGE_OPTIONAL_HEADER32 opt_ = {};
    std::vector<IMAGE_SECTION_HEADER> sections_;
};
