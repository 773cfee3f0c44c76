# Compiler settings shared by every target: warnings are errors everywhere, sanitizers on
# request, static runtimes for Windows so the programs need only system DLLs.
option(NORVEX_SANITIZE "Build with AddressSanitizer and UBSan" OFF)

if(WIN32)
  set(NORVEX_WINDOWS ON)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(NORVEX_WIN32_BUILD ON)   # the shipped deliverables
  endif()
else()
  set(NORVEX_WINDOWS OFF)
endif()

add_compile_options(-Wall -Wextra -Werror)

if(NORVEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NORVEX_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Deliverables land in dist/<preset>/ so the shipped set is easy to find and check.
  get_filename_component(_preset "${CMAKE_BINARY_DIR}" NAME)
  set(NORVEX_DIST_DIR "${CMAKE_SOURCE_DIR}/dist/${_preset}")
endif()

# Places a finished deliverable into dist/<preset>/.
function(norvex_deliverable target)
  if(NORVEX_DIST_DIR)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory "${NORVEX_DIST_DIR}"
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${target}>" "${NORVEX_DIST_DIR}/"
      VERBATIM)
  endif()
endfunction()

# The 64-bit Windows build runs its tests under Wine: every test command that names one of
# our executables goes through the shared prefix of this build tree.
if(NORVEX_WINDOWS AND NOT NORVEX_WIN32_BUILD)
  set(NORVEX_WINE_TOOL "${CMAKE_SOURCE_DIR}/tests/wine/wine-prefix")
  set(NORVEX_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
  set(CMAKE_CROSSCOMPILING_EMULATOR "${NORVEX_WINE_TOOL};run;${NORVEX_WINE_STATE}")
  set(NORVEX_WINE_TESTS ON)
endif()

# norvex_wine_test(name COMMAND ...): a test in the shared Wine prefix, label "wine".
function(norvex_wine_test name)
  cmake_parse_arguments(T "" "" "COMMAND;ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS wine FIXTURES_REQUIRED wine_prefix
    ENVIRONMENT "NORVEX_WINE_TOOL=${NORVEX_WINE_TOOL};NORVEX_WINE_STATE=${NORVEX_WINE_STATE};${T_ENVIRONMENT}")
endfunction()

# A Windows console program for tests (wmain entry point).
function(norvex_win_console target)
  add_executable(${target} ${ARGN})
  target_link_options(${target} PRIVATE -municode)
endfunction()

# The shipped 32-bit JNI library exports exactly the decorated names its .def file maps, and
# nothing else: without dllexport on JNIEXPORT, mingw exports only what the file lists.
function(norvex_jni_library_exports target def)
  if(NORVEX_WIN32_BUILD)
    target_compile_definitions(${target} PRIVATE JNIEXPORT=)
    target_sources(${target} PRIVATE ${def})
  endif()
endfunction()

# norvex_exports_test(target PREFIX prefix NAMES name...): the 32-bit export table of a JNI
# library must hold exactly prefix+name for every name. Read in the win32 tree from the target,
# in the host tree from dist/win32/ (the shipped set, built before the tests run).
function(norvex_exports_test target)
  cmake_parse_arguments(E "" "PREFIX" "NAMES" ${ARGN})
  find_program(NORVEX_I686_OBJDUMP i686-w64-mingw32-objdump)
  if(NORVEX_WIN32_BUILD)
    set(dll $<TARGET_FILE:${target}>)
  elseif(NOT NORVEX_WINDOWS)
    set(dll ${CMAKE_SOURCE_DIR}/dist/win32/${target}.dll)
  else()
    return()
  endif()
  list(TRANSFORM E_NAMES PREPEND "${E_PREFIX}")
  add_test(NAME ${target}_exports
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/dist/check_exports.sh ${NORVEX_I686_OBJDUMP} ${dll} ${E_NAMES})
  set_tests_properties(${target}_exports PROPERTIES LABELS exports)
endfunction()
