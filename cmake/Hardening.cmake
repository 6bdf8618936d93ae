# Debian's hardening flags (what dpkg-buildflags gives with hardening=+all)
# on every program of a Linux build: fortified C library calls, the strong
# stack protector, format checks, and full RELRO with immediate binding. PIE
# is the compiler's default on Debian. Left out of the sanitizer and fuzz
# builds, which bring instrumentation of their own, and of Windows.
option(TIVOLAN_HARDENING "Build the programs with Debian's hardening flags" ON)

if(TIVOLAN_HARDENING AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT TIVOLAN_SANITIZE AND NOT TIVOLAN_FUZZ)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  # _FORTIFY_SOURCE needs the optimiser; -U first, so that a compiler that
  # sets it already does not warn of a second definition.
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
  endif()
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
