// The names the common conventions give a glycine's two alpha protons,
// which the preparation must tell apart: the PDB (HA2, HA3; Amber the same),
// PDB version 2 (1HA, 2HA), PyMOL (HA, 3HA) and CHARMM (HA1, HA2). Their
// numbers do not agree (CHARMM's HA2 is the PDB's HA3), so the position
// decides which one is the PDB's HA2. Other hydrogens (HN and HT1-HT3 of
// CHARMM, 1HB or 2HG1 of PDB version 2 and PyMOL) keep their names: the
// helix uses CA and CB or HA2 alone.
#pragma once
#include <string>
#include <vector>

// True for a name one of the conventions gives an alpha proton.
bool is_alpha_proton_name(const std::string& name);

// True when a glycine's proton names follow the PDB's own numbering (an HA2
// and no HA1, as the PDB and Amber write them), so HA2 is taken as named.
bool names_pdb_alpha_protons(const std::vector<std::string>& names);
