#include "formats/parameter.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/text.h"

Parameter::Parameter()
    : numProtomer(0),
      memResFlag(0),
      pairDistance{6.28f, 6.84f, 7.28f},
      pairTolerance{1.7f, 1.5f, 1.5f},
      ss_angle(5.0f),
      r_beg(3.0f),
      r_end(15.0f),
      ss_r(0.5f),
      uncertainty(1.5f),
      noeModel(NoeModel::window) {}

std::string noe_model_line(NoeModel m) {
    const std::string name = noe_model_name(m);
    if (m == NoeModel::window)
        return "Restraint model: window (a restraint is violated below its lower or above its upper bound; "
               "noeModel=upper suits lists taken from spectra)";
    return "Restraint model: " + name + (m == NoeModel::reach ? ", the same as upper" : "") +
           " (a restraint is violated only above its upper bound)";
}

// Stores value under key; false when the key is not one of the twelve names.
static bool assign(Parameter& p, const std::string& key, const std::string& value) {
    if (key == "proteinName") p.proteinName = value;
    else if (key == "workDir") p.workDir = value;
    else if (key == "pdbFile") p.pdbFile = value;
    else if (key == "noeFile") p.noeFile = value;
    else if (key == "memFile") p.memFile = value;
    else if (key == "numProtomer") p.numProtomer = to_int(value);
    else if (key == "memResFlag") p.memResFlag = to_int(value);
    else if (key == "ss_angle") p.ss_angle = to_float(value);
    else if (key == "r_beg") p.r_beg = to_float(value);
    else if (key == "r_end") p.r_end = to_float(value);
    else if (key == "ss_r") p.ss_r = to_float(value);
    else if (key == "uncertainty") p.uncertainty = to_float(value);
    else return false;
    return true;
}

// The restraint model from its value; a carriage return of a CRLF file does not count.
static Status assign_noe_model(Parameter& p, std::string value, bool& seen, const std::string& path) {
    if (!value.empty() && value.back() == '\r') value.pop_back();
    std::string problem;
    const NoeModel models[] = {NoeModel::window, NoeModel::upper, NoeModel::reach};
    const NoeModel* named = std::find_if(std::begin(models), std::end(models),
                                         [&](NoeModel m) { return value == noe_model_name(m); });
    if (seen) problem = "noeModel is given twice";
    else if (value.empty()) problem = "noeModel is empty";
    else if (named == std::end(models)) problem = "noeModel is '" + (value.size() > 40 ? value.substr(0, 40) + "..." : value) + "'";
    else p.noeModel = *named;
    seen = true;
    if (problem.empty()) return Status::fine();
    return Status::error("[Error] '" + path + "': " + problem + "; it takes window, upper or reach");
}

Status parse_param(std::istream& in, const std::string& path, Parameter& param) {
    int recognised = 0;
    bool modelSeen = false;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t eq = line.find('=');
        std::string key, value;
        if (eq != std::string::npos) {
            key = line.substr(0, eq);
            value = line.substr(eq + 1);
        } else {
            // A line without "=" is its own key; its value drops the last two characters.
            key = line;
            value = line.substr(0, line.size() >= 2 ? line.size() - 2 : 0);
        }
        if (key == "noeModel") {
            Status s = assign_noe_model(param, value, modelSeen, path);
            if (!s.ok()) return s;
        } else if (assign(param, key, value)) {
            ++recognised;
        }
    }
    param.logFile = param.workDir + "/" + param.proteinName + ".log";
    if (recognised < 11) return Status::error(wrong_format(path));
    if (param.numProtomer < 1 || param.numProtomer > maxProtomer) return Status::error(wrong_format(path));
    return Status::fine();
}

Status load_param(const std::string& path, Parameter& param) {
    std::ifstream in;
    if (!open_input(in, path)) return Status::error(cannot_open(path));
    return parse_param(in, path, param);
}
