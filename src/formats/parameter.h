// The run configuration: the Parameter record, its defaults, and the reader
// of the parameter file (one "key=value" per line, twelve known keys, and
// the optional noeModel).
#pragma once
#include <istream>
#include <string>

#include "base/status.h"

// Protomers are told apart by one character in column 75 of the structure
// files, '1' for the first; 78 of them keep it a printable character.
constexpr int maxProtomer = 78;

// How a restraint is scored against its class's bounds: "window", violated
// below the lower or above the upper bound (lists prepared for the windows);
// "upper", violated only above the upper bound, raised to what the NOE
// allows when a proton lies far out on a long side chain (lists taken from
// spectra, whose close pairs have stand-in atoms closer than the lower bound;
// formats/restraint.h); "reach", the same model under the name earlier
// parameter files may give it.
enum class NoeModel { window, upper, reach };

// The value as the parameter file spells it.
inline const char* noe_model_name(NoeModel m) {
    return m == NoeModel::window ? "window" : m == NoeModel::upper ? "upper" : "reach";
}

// The model in one line for the terminal: "Restraint model: upper (a
// restraint is violated only above its upper bound)".
std::string noe_model_line(NoeModel m);

class Parameter {
public:
    int numProtomer;   // helices in the oligomer
    int memResFlag;    // stored only
    float pairDistance[3];   // reference distance by pair class (CA-CA, CA-CB, CB-CB)
    float pairTolerance[3];  // tolerance around it, same index
    float ss_angle;
    float r_beg;
    float r_end;
    float ss_r;
    float uncertainty;
    std::string proteinName;  // base name of the run's files
    std::string workDir;      // directory of the run's files
    std::string pdbFile;      // the helix
    std::string noeFile;      // the restraints
    std::string memFile;      // stored only
    std::string logFile;      // workDir + "/" + proteinName + ".log"
    NoeModel noeModel;        // key "noeModel", default window

    Parameter();

    // Fills the record from the file at path; ends the run on failure (the run's shell).
    void read_param(const char* path);
};

// Reads parameter lines from in into param and derives logFile. path is only
// used in messages. Needs at least 11 recognised lines and numProtomer from 1 to maxProtomer;
// noeModel, not counted among them, at most once and "window", "upper" or "reach".
Status parse_param(std::istream& in, const std::string& path, Parameter& param);

// Opens the file and parses it as above.
Status load_param(const std::string& path, Parameter& param);
