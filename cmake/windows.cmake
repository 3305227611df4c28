# Settings shared by the two Windows builds (win32: the product; win64: for Wine).
# Windows 95 is the oldest target: keep the headers from offering anything newer.
add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400)
# The program is written against DirectInput 5; the headers would declare 8.
add_compile_definitions(DIRECTINPUT_VERSION=0x0500)
# comctl32 holds the up-down control of the button dialog.
set(BRISKARN_SYSTEM_LIBS user32 gdi32 kernel32 advapi32 winmm dinput comctl32)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src")
# The printf family of the C headers, not mingw-w64's larger replacement: in
# the win64 build msvcrt.dll's, in the win32 build src/winrt's, which prints
# the same text for the conversions the programs use.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/src/winrt/msvcrt_stdio.h>")

# The product runs on the original Pentium and its clones: our code is
# compiled for it, and src/winrt replaces the prebuilt runtime pieces (built
# for the Pentium Pro) that the programs would otherwise link. Nothing in the
# programs throws or asks for a type at run time.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(BRISKARN_WINRT ON)
  add_compile_options(-march=pentium -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/src/winrt/local_templates.h>")
endif()

# A program of either build carries subsystem version 4.0 and OS version 4.0,
# so that Windows 95 and 98 agree to load it.
function(briskarn_windows_program target subsystem)
  target_link_options(${target} PRIVATE
    -m${subsystem}
    -Wl,--subsystem,${subsystem}:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
  set_target_properties(${target} PROPERTIES SUFFIX ".EXE")
  # The win32 build starts through src/winrt instead of crt2.o. Without
  # crt2.o's relocator nothing may need patching at load time, so a reference
  # to a DLL's data that is not declared as imported fails the link instead.
  if(BRISKARN_WINRT)
    target_link_libraries(${target} PRIVATE winrt_runtime winrt_${subsystem})
    # Without the debug sections of the libraries linked in; the symbols
    # stay, so the Pentium check can still name the functions.
    target_link_options(${target} PRIVATE -nostartfiles -Wl,--disable-auto-import
                        -Wl,--strip-debug -Wl,--no-insert-timestamp)
  endif()
endfunction()
