// The files a run puts in place together: the ranked candidate file and one
// structure file for each of its lines, each written to a temporary file
// beside its place and all renamed once every one was written, so that a
// failure part way leaves the folder as it was. Then the structure files of
// an earlier run beyond the new count are removed, those the run's record
// (workDir/.noebundle-run) shows noebundle wrote and still as it wrote them.
#pragma once
#include <string>

#include "formats/parameter.h"

struct Tidied {
    long removed = 0, kept = 0;  // kept: recorded, but changed since
    std::string first, last;     // the first and last file removed
};

// The candidate file as ranked (its text) and the structures of its lines.
Status put_run_in_place(const Parameter& param, const std::string& rankedText, Tidied& tidied);

// The line that says what the tidying did; empty when it found nothing.
std::string tidied_line(const Tidied& tidied);
