# cmake -DINPUT=file.txt -DOUTPUT=file.cpp -DNAME=kName -P embed_text.cmake
# Writes the text of INPUT as the constant hosted::NAME.
file(READ ${INPUT} text)
file(WRITE ${OUTPUT}
"// Generated from ${INPUT}; do not edit.
namespace hosted {
extern const char ${NAME}[];
const char ${NAME}[] = R\"embedded_text(${text})embedded_text\";
} // namespace hosted
")
