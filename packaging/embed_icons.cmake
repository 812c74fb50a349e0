# Writes a C++ source that holds the icon PNGs as byte arrays, so the program needs
# no icon files at run time. Called with -DOUTPUT=... -DSIZES=... -DPNG_DIR=...
set(body "// Generated from packaging/icons/praxora.svg; do not edit.\n#include \"packaging/icon_images.h\"\n\nnamespace praxora {\nnamespace {\n")
set(table "")
string(REPLACE "," ";" SIZES "${SIZES}")
foreach(size IN LISTS SIZES)
    file(READ ${PNG_DIR}/praxora-${size}.png hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND body "const unsigned char kIcon${size}[] = {${bytes}};\n")
    string(APPEND table "    {${size}, kIcon${size}, sizeof kIcon${size}},\n")
endforeach()
string(APPEND body "const IconImage kImages[] = {\n${table}};\n}  // namespace\n\n")
string(APPEND body "const IconImage* IconImages(size_t& count) {\n    count = sizeof kImages / sizeof kImages[0];\n    return kImages;\n}\n\n}  // namespace praxora\n")
file(WRITE ${OUTPUT} "${body}")
