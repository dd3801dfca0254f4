# Turns a file into a C++ byte array: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_page.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Lines of 32 bytes keep the file readable for compilers and people.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}: do not edit.\n"
    "namespace {\n"
    "const unsigned char kBytes[] = {\n${bytes}0x00};\n"
    "}  // namespace\n"
    "extern const char* const ${NAME};\n"
    "extern const unsigned long ${NAME}Size;\n"
    "const char* const ${NAME} = reinterpret_cast<const char*>(kBytes);\n"
    "const unsigned long ${NAME}Size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
