// What the archive's mmCIF files carry about an oligomer and gemmi's writer
// leaves to the caller: the assembly (chain A turned by each operator of the
// Cn ring about z, the symmetry axis of every model), and the author's
// residue and atom names beside the label ones in _atom_site.
#pragma once
#include <gemmi/cifdoc.hpp>
#include <gemmi/model.hpp>

// The ring of numProtomer protomers as the structure's one assembly.
void add_ring_assembly(gemmi::Structure& st, int numProtomer);

// _atom_site.auth_comp_id and auth_atom_id, copies of the label columns.
void add_author_names(gemmi::cif::Block& block);
