#include "tests/release/pe_image.h"

#include <string.h>

#include <utility>

namespace {
// An import table longer than this is taken as a runaway (missing terminator).
const int MaxTableEntries = 4096;

// The delay-load descriptor (the toolchain's headers name it differently across versions).
struct DelayDescriptor {
    DWORD attributes;
    DWORD dllNameRva;
    DWORD moduleHandleRva;
    DWORD importAddressTableRva;
    DWORD importNameTableRva;
    DWORD boundImportAddressTableRva;
    DWORD unloadInformationTableRva;
    DWORD timeDateStamp;
};
} // namespace

template <class T> bool PeImage::ReadAt(long offset, T *out) const
{
    if (offset < 0 || (size_t)offset > bytes_.size() || bytes_.size() - offset < sizeof(T))
        return false;
    memcpy(out, &bytes_[offset], sizeof(T));
    return true;
}

template <class T> bool PeImage::ReadRva(DWORD rva, T *out) const
{
    return ReadAt(RvaToOffset(rva, sizeof(T)), out);
}

PeImage::PeImage(std::vector<unsigned char> bytes) : bytes_(std::move(bytes))
{
    IMAGE_DOS_HEADER dos;
    if (!ReadAt(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) {
        error_ = "no MZ header";
        return;
    }
    DWORD signature = 0;
    if (!ReadAt(dos.e_lfanew, &signature) || signature != IMAGE_NT_SIGNATURE) {
        error_ = "no PE signature";
        return;
    }
    long at = dos.e_lfanew + (long)sizeof signature;
    if (!ReadAt(at, &file_)) {
        error_ = "truncated file header";
        return;
    }
    at += sizeof file_;
    if (file_.SizeOfOptionalHeader < sizeof opt_ || !ReadAt(at, &opt_)
        || opt_.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        error_ = "no PE32 optional header";
        return;
    }
    at += file_.SizeOfOptionalHeader;
    for (int i = 0; i < file_.NumberOfSections; i++) {
        IMAGE_SECTION_HEADER s;
        if (!ReadAt(at + i * (long)sizeof s, &s)) {
            error_ = "truncated section table";
            return;
        }
        sections_.push_back(s);
    }
}

std::string PeImage::SectionName(const IMAGE_SECTION_HEADER &s)
{
    return std::string((const char *)s.Name, strnlen((const char *)s.Name, IMAGE_SIZEOF_SHORT_NAME));
}

IMAGE_DATA_DIRECTORY PeImage::Directory(int index) const
{
    IMAGE_DATA_DIRECTORY none = {0, 0};
    if (index < 0 || (DWORD)index >= opt_.NumberOfRvaAndSizes || index >= IMAGE_NUMBEROF_DIRECTORY_ENTRIES)
        return none;
    return opt_.DataDirectory[index];
}

long PeImage::RvaToOffset(DWORD rva, DWORD size) const
{
    for (const IMAGE_SECTION_HEADER &s : sections_) {
        DWORD start = s.VirtualAddress;
        DWORD length = s.SizeOfRawData;
        if (rva >= start && rva - start < length && length - (rva - start) >= size) {
            DWORD offset = s.PointerToRawData + (rva - start);
            if (offset > bytes_.size() || bytes_.size() - offset < size)
                return -1;
            return (long)offset;
        }
    }
    return -1;
}

bool PeImage::StringAt(DWORD rva, std::string *out) const
{
    long offset = RvaToOffset(rva);
    if (offset < 0)
        return false;
    for (DWORD n = 0;; n++) {
        if (RvaToOffset(rva + n) != offset + (long)n)
            return false; // ran off the section before the terminator
        char c = (char)bytes_[offset + n];
        if (!c)
            return true;
        out->push_back(c);
    }
}

bool PeImage::ThunkNames(DWORD thunkRva, std::vector<std::string> *names, std::string *why) const
{
    for (int i = 0; i < MaxTableEntries; i++) {
        DWORD thunk = 0;
        if (!ReadRva(thunkRva + i * 4, &thunk)) {
            *why = "thunk table outside the sections";
            return false;
        }
        if (!thunk)
            return true;
        if (thunk & IMAGE_ORDINAL_FLAG32) {
            names->push_back("#" + std::to_string(thunk & 0xFFFF));
            continue;
        }
        std::string name;
        if (!StringAt(thunk + 2, &name) || name.empty()) { // skip the 2-byte hint
            *why = "bad import name";
            return false;
        }
        names->push_back(name);
    }
    *why = "thunk table without terminator";
    return false;
}

bool PeImage::Imports(std::vector<PeImport> *out, std::string *why) const
{
    IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!dir.VirtualAddress)
        return true;
    for (int i = 0; i < MaxTableEntries; i++) {
        IMAGE_IMPORT_DESCRIPTOR d;
        if (!ReadRva(dir.VirtualAddress + i * (DWORD)sizeof d, &d)) {
            *why = "import descriptor outside the sections";
            return false;
        }
        if (!d.Name && !d.FirstThunk)
            return true;
        PeImport imp;
        if (!StringAt(d.Name, &imp.dll) || imp.dll.empty()) {
            *why = "bad DLL name";
            return false;
        }
        // The lookup table keeps the names; old linkers leave it out and only the IAT has them.
        if (!ThunkNames(d.OriginalFirstThunk ? d.OriginalFirstThunk : d.FirstThunk, &imp.names, why))
            return false;
        out->push_back(imp);
    }
    *why = "import table without terminator";
    return false;
}

bool PeImage::DelayImports(std::vector<PeImport> *out, std::string *why) const
{
    IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
    if (!dir.VirtualAddress)
        return true;
    for (int i = 0; i < MaxTableEntries; i++) {
        DelayDescriptor d;
        if (!ReadRva(dir.VirtualAddress + i * (DWORD)sizeof d, &d)) {
            *why = "delay descriptor outside the sections";
            return false;
        }
        if (!d.dllNameRva)
            return true;
        if (!(d.attributes & 1)) {
            *why = "delay descriptor with virtual addresses instead of RVAs";
            return false;
        }
        PeImport imp;
        if (!StringAt(d.dllNameRva, &imp.dll) || imp.dll.empty()) {
            *why = "bad delay DLL name";
            return false;
        }
        if (!ThunkNames(d.importNameTableRva, &imp.names, why))
            return false;
        out->push_back(imp);
    }
    *why = "delay table without terminator";
    return false;
}

bool PeImage::WalkRelocations(int *entries, std::vector<int> *types, std::string *why) const
{
    *entries = 0;
    IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC);
    DWORD done = 0;
    while (done < dir.Size) {
        IMAGE_BASE_RELOCATION block;
        if (!ReadRva(dir.VirtualAddress + done, &block)) {
            *why = "relocation block outside the sections";
            return false;
        }
        if (block.SizeOfBlock < sizeof block || block.SizeOfBlock % 2 || block.SizeOfBlock > dir.Size - done) {
            *why = "relocation block of size " + std::to_string(block.SizeOfBlock);
            return false;
        }
        if (block.VirtualAddress % 0x1000 || block.VirtualAddress >= opt_.SizeOfImage) {
            *why = "relocation page outside the image";
            return false;
        }
        int count = (int)((block.SizeOfBlock - sizeof block) / 2);
        for (int i = 0; i < count; i++) {
            WORD entry = 0;
            if (!ReadRva(dir.VirtualAddress + done + (DWORD)sizeof block + i * 2, &entry)) {
                *why = "relocation entry outside the sections";
                return false;
            }
            int type = entry >> 12;
            bool seen = false;
            for (int t : *types)
                seen = seen || t == type;
            if (!seen)
                types->push_back(type);
            if (type != IMAGE_REL_BASED_ABSOLUTE)
                (*entries)++;
        }
        done += block.SizeOfBlock;
    }
    return true;
}
