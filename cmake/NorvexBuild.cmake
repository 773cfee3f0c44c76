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
