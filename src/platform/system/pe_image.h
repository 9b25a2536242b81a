// Which processor a Windows program or library is built for, read from its PE header. A 64-bit
// process cannot load a 32-bit library, nor the other way round, so callers classify files by this
// and never by their names or folders. Portable: it works on the first bytes of a file.
#pragma once

#include <cstdint>
#include <span>

namespace cx {

enum class Bitness { Unknown, Bits32, Bits64 };

// The bitness of the image whose first bytes are `head`: the DOS header's e_lfanew names the offset
// of "PE\0\0", whose COFF header gives the machine (x86: 32, x64: 64) and whose optional header's magic
// must agree with it (PE32, PE32+). Unknown when `head` is too short for any of these, a signature is
// missing, the two disagree, or the machine is another (ARM64 included: the tool does not run there).
Bitness PeImageBitness(std::span<const std::uint8_t> head);

}  // namespace cx
