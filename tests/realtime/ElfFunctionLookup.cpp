#include "ElfFunctionLookup.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>
#include <link.h>

namespace
{
struct LoadedModule
{
    std::string path;
    std::uintptr_t base = 0;
    bool found = false;
};

LoadedModule findModule (const std::string& fileName)
{
    LoadedModule module;
    module.path = fileName;

    dl_iterate_phdr (
        [] (dl_phdr_info* info, size_t, void* data) -> int
        {
            auto& m = *static_cast<LoadedModule*> (data);
            const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";

            if (name.size() < m.path.size() || name.compare (name.size() - m.path.size(), m.path.size(), m.path) != 0)
                return 0;

            m.path = name;
            m.base = info->dlpi_addr;
            m.found = true;
            return 1;
        },
        &module);

    return module;
}

template <typename T>
const T* at (const std::vector<char>& image, std::uint64_t offset)
{
    return offset + sizeof (T) <= image.size() ? reinterpret_cast<const T*> (image.data() + offset) : nullptr;
}
} // namespace

std::vector<RealtimeGuard::CodeRange> findLoadedFunctions (const std::string& moduleFileName,
                                                           const std::string& mangledPrefix)
{
    std::vector<RealtimeGuard::CodeRange> ranges;
    const auto module = findModule (moduleFileName);

    if (! module.found)
        return ranges;

    std::ifstream file (module.path, std::ios::binary);
    const std::vector<char> image { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
    const auto* header = at<Elf64_Ehdr> (image, 0);

    if (header == nullptr || std::memcmp (header->e_ident, ELFMAG, SELFMAG) != 0)
        return ranges;

    for (int s = 0; s < header->e_shnum; ++s)
    {
        const auto* symbols = at<Elf64_Shdr> (image, header->e_shoff + (std::uint64_t) s * header->e_shentsize);

        if (symbols == nullptr || symbols->sh_type != SHT_SYMTAB)
            continue;

        const auto* names =
            at<Elf64_Shdr> (image, header->e_shoff + (std::uint64_t) symbols->sh_link * header->e_shentsize);

        for (std::uint64_t offset = symbols->sh_offset;
             offset + sizeof (Elf64_Sym) <= symbols->sh_offset + symbols->sh_size;
             offset += sizeof (Elf64_Sym))
        {
            const auto* symbol = at<Elf64_Sym> (image, offset);

            if (symbol == nullptr || ELF64_ST_TYPE (symbol->st_info) != STT_FUNC || symbol->st_size == 0)
                continue;

            const auto nameOffset = names->sh_offset + symbol->st_name;

            if (nameOffset >= image.size())
                continue;

            const char* name = image.data() + nameOffset;

            if (std::strncmp (name, mangledPrefix.c_str(), mangledPrefix.size()) == 0)
                ranges.push_back ({ module.base + symbol->st_value, module.base + symbol->st_value + symbol->st_size });
        }
    }

    return ranges;
}
