# Writes a C++ header that holds the bytes of one file as a character array
# (a zero byte follows them) and their count:
#   cmake -DIN=FILE -DOUT=HEADER -DNAME=IDENTIFIER -P embed_file.cmake
# Run by the build whenever FILE changes, so the programs carry the file
# and need nothing installed beside them.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR bytes "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
file(WRITE "${OUT}.tmp" "// Made by cmake/embed_file.cmake from ${IN}; do not edit.\n#pragma once\n#include <cstddef>\n"
     "inline constexpr unsigned char ${NAME}[] = {${body}0};\ninline constexpr std::size_t ${NAME}_size = ${bytes};\n")
file(RENAME "${OUT}.tmp" "${OUT}")
