# cmake -DINPUT=file.res -DOUTPUT=file.cpp -P embed_binary.cmake
# Writes the bytes of INPUT as the hosted module's resource section.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.
#include \"kernel/module_image.h\"
namespace hosted {
alignas(4) const unsigned char kModuleResources[] = {
${bytes}
};
const std::size_t kModuleResourcesSize = ${size};
} // namespace hosted
")
