# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedFile.cmake
# Writes the bytes of INPUT as a C++ array SYMBOL with its size in SYMBOL_size.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Break the array into lines of 32 bytes so compilers and editors stay comfortable.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "#include <cstddef>\n"
  "// Four zero bytes follow the data, so text parsers may run over its end.\n"
  "extern const unsigned char ${SYMBOL}[] = {\n${bytes}\n0, 0, 0, 0};\n"
  "extern const std::size_t ${SYMBOL}_size = ${size};\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
