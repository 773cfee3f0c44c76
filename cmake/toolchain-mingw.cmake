# Shared by the two mingw toolchain files, which set NORVEX_TRIPLE first: the posix-thread
# compilers (std::thread and std::mutex exist only there) and the dependency prefix that
# scripts/bootstrap builds for the triple.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${NORVEX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVEX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NORVEX_TRIPLE}-windres)
set(NORVEX_DEPS_PREFIX "$ENV{NORVEX_DEPS_CACHE}")
if(NOT NORVEX_DEPS_PREFIX)
  set(NORVEX_DEPS_PREFIX /var/cache/norvex-deps)
endif()
set(NORVEX_DEPS_PREFIX "${NORVEX_DEPS_PREFIX}/${NORVEX_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH /usr/${NORVEX_TRIPLE} ${NORVEX_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
