# The release for users of the win32 build: BRISKARN-<version>.zip with the
# stripped programs and README.TXT, written with every build. The version is
# the one of the program's version block, so it is stated in one place.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(STRINGS ${PROJECT_SOURCE_DIR}/src/resources/briskarn.rc version_line
     REGEX "^ *FILEVERSION +[0-9]+,[0-9]+,[0-9]+,[0-9]+")
string(REGEX MATCH "[0-9]+,[0-9]+,[0-9]+,[0-9]+" version "${version_line}")
string(REPLACE "," "." BRISKARN_VERSION "${version}")

set(stage ${PROJECT_BINARY_DIR}/package)
# The linker leaves the PE time stamp at 0 (--no-insert-timestamp); strip
# would write the time of day there unless told the date of the sources.
set(strip ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_STRIP} --strip-all)
set(BRISKARN_PACKAGE ${PROJECT_BINARY_DIR}/BRISKARN-${BRISKARN_VERSION}.zip)
set(BRISKARN_PACKAGE_FILES ${stage}/BRISKARN.EXE ${stage}/PATCHER.EXE ${stage}/README.TXT)
add_custom_command(
  OUTPUT ${BRISKARN_PACKAGE} ${BRISKARN_PACKAGE_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${strip} -o ${stage}/BRISKARN.EXE $<TARGET_FILE:briskarn>
  COMMAND ${strip} -o ${stage}/PATCHER.EXE $<TARGET_FILE:patcher>
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/package/README.TXT
          -DOUT=${stage}/README.TXT -DVERSION=${BRISKARN_VERSION}
          -P ${PROJECT_SOURCE_DIR}/cmake/configure_readme.cmake
  COMMAND ${CMAKE_COMMAND} -E remove -f ${BRISKARN_PACKAGE}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/make_zip.py ${BRISKARN_PACKAGE}
          ${BRISKARN_PACKAGE_FILES}
  DEPENDS briskarn patcher ${PROJECT_SOURCE_DIR}/package/README.TXT
          ${PROJECT_SOURCE_DIR}/cmake/make_zip.py ${PROJECT_SOURCE_DIR}/cmake/configure_readme.cmake
  COMMENT "Packing BRISKARN-${BRISKARN_VERSION}.zip"
  VERBATIM)
add_custom_target(package ALL DEPENDS ${BRISKARN_PACKAGE})
