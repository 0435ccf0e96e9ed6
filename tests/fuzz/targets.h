// One entry per input file of a run. Each feeds arbitrary bytes to the reader
// of that file and to what a run does next with the result, and aborts only
// when a check of the program's own consistency fails; any input must return.
// The fuzzers and the regression test over the saved inputs share them.
#pragma once
#include <cstddef>
#include <cstdint>

// The parameter file.
void fuzz_parameter_file(const std::uint8_t* data, std::size_t size);
// check_pdb.log (the first line) and the helix PDB file (the rest), then the alignment.
void fuzz_helix_files(const std::uint8_t* data, std::size_t size);
// The restraint file against a fixed helix, then scoring with the restraints read.
void fuzz_restraint_file(const std::uint8_t* data, std::size_t size);
// The candidate file: scored two ways (which must agree), ranked, rewritten, reread.
void fuzz_candidate_file(const std::uint8_t* data, std::size_t size);
// A structure file, the preparation's input: whatever it writes, the helix reader takes.
void fuzz_prepare(const std::uint8_t* data, std::size_t size);
// A candidate line (the first line) and the template (the rest), then the oligomer writer.
void fuzz_template(const std::uint8_t* data, std::size_t size);
// An XPLOR/CNS restraint table, then the mapping: every line written must read back.
void fuzz_xplor_restraints(const std::uint8_t* data, std::size_t size);
// A NEF file, the same way.
void fuzz_nef_restraints(const std::uint8_t* data, std::size_t size);
// The search's allowed.csv: what reads, written again, reads back the same.
void fuzz_allowed_set(const std::uint8_t* data, std::size_t size);
