# Writes a file's bytes as a C++ array: cmake -DIN=file -DOUT=file.cpp
#   -DNAME=symbol -DHEADER=include -P embed.cmake
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Lines of 24 bytes (120 characters).
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT}.new "// Generated from ${IN}; do not edit.
#include \"${HEADER}\"

extern const unsigned char ${NAME}[] = {
${bytes}
};
extern const std::size_t ${NAME}Size = ${size};
")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
