# The hosted build: program code against src/hosted on Linux.
find_program(BRISKARN_WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres windres REQUIRED)
find_package(Threads REQUIRED)

# Compiles a resource script with windres into the binary .res format and turns
# it into a C++ source holding those bytes, so the hosted user layer reads the
# very resources that the Windows builds link in.
function(briskarn_embed_resources target rc_file)
  get_filename_component(name ${rc_file} NAME_WE)
  get_filename_component(rc_dir ${rc_file} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${name}_res.cpp)
  # The framework's string ids come from its own header.
  file(GLOB rc_inputs ${rc_dir}/* ${CMAKE_SOURCE_DIR}/src/framework/framework_ids.h)
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${BRISKARN_WINDRES} -O res -I ${CMAKE_SOURCE_DIR}/src -i ${rc_file} -o ${res}
    DEPENDS ${rc_inputs}
    COMMENT "Compiling resources ${name}.rc")
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${cpp} -P ${CMAKE_SOURCE_DIR}/cmake/embed_binary.cmake
    DEPENDS ${res} ${CMAKE_SOURCE_DIR}/cmake/embed_binary.cmake)
  add_library(${target} STATIC ${cpp})
endfunction()
