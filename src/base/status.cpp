#include "base/status.h"

std::string cannot_open(const std::string& path) {
    return "[Error] Can not open the file '" + path + "'";
}

std::string wrong_format(const std::string& path) {
    return "[Error] '" + path + "' has a wrong format";
}

std::string cannot_write(const std::string& path) {
    return "[Error] Can not write the file '" + path + "'";
}
