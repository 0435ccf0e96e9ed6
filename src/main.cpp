#include "getpdb.h"

int main(int argc, char** argv) { return noebundle_main(argc, argv); }
