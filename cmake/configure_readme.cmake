# cmake -DIN=... -DOUT=... -DVERSION=... -P configure_readme.cmake: the user's
# README.TXT with the version filled in and MS-DOS line ends.
set(BRISKARN_VERSION ${VERSION})
configure_file(${IN} ${OUT} @ONLY NEWLINE_STYLE CRLF)
