# Cross-build for 64-bit Windows with Debian's MinGW-w64. The posix-thread compilers: the default ones have no
# std::mutex. Qt, OpenSSL and QuaZip for Windows are found in the folders of TARNO_WINDOWS_PREFIXES (a list;
# scripts/windows.sh sets it), which also come from the environment for CMake's own test builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(tarno_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tarno_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tarno_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${tarno_mingw}-windres)
if(NOT TARNO_WINDOWS_PREFIXES)
    set(TARNO_WINDOWS_PREFIXES "$ENV{TARNO_WINDOWS_PREFIXES}")
endif()
set(ENV{TARNO_WINDOWS_PREFIXES} "${TARNO_WINDOWS_PREFIXES}")
set(CMAKE_FIND_ROOT_PATH /usr/${tarno_mingw} ${TARNO_WINDOWS_PREFIXES})
set(CMAKE_PREFIX_PATH ${TARNO_WINDOWS_PREFIXES})
# Programs (moc, rcc, lrelease) are the build machine's; libraries, headers and packages only Windows ones.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# A Qt built for Windows has no Linguist tools: the build machine's Qt (the same version) compiles translations.
set(Qt5LinguistTools_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools CACHE PATH "")
