# GoogleTest for the unit layer, and the JDK tools for the JVM layer.
find_package(GTest REQUIRED)
include(GoogleTest)
set(NORVEX_JAVA "${NORVEX_JDK_HOME}/bin/java")
set(NORVEX_JAVAC "${NORVEX_JDK_HOME}/bin/javac")

# norvex_unit_test(name SOURCES... LIBS ...): one GoogleTest binary with the label "unit". A
# test that skips itself is reported by ctest as skipped, not as passed.
function(norvex_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} PROPERTIES LABELS unit SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]" DISCOVERY_TIMEOUT 60)
endfunction()

# norvex_java_classes(target SOURCE_ROOT files...): compiles Java stand-ins of host classes.
# The classes land in ${CMAKE_CURRENT_BINARY_DIR}/<target>; the target's property
# NORVEX_CLASS_DIR names that folder.
function(norvex_java_classes target root)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  set(sources)
  foreach(f ${ARGN})
    list(APPEND sources "${CMAKE_CURRENT_SOURCE_DIR}/${root}/${f}")
  endforeach()
  add_custom_command(OUTPUT "${out}.stamp"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${out}"
    COMMAND "${NORVEX_JAVAC}" -encoding UTF-8 -Xlint:all -Werror -d "${out}" ${sources}
    COMMAND ${CMAKE_COMMAND} -E touch "${out}.stamp"
    DEPENDS ${sources} VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${out}.stamp")
  set_target_properties(${target} PROPERTIES NORVEX_CLASS_DIR "${out}")
endfunction()

# norvex_jvm_test(name CLASSES target LIBRARY lib [LOCALE loc] MAIN class [ARGS ...]):
# runs a Java main against a native library in a real JVM with -Xcheck:jni; any JNI warning
# or a line starting with FAIL fails the test.
function(norvex_jvm_test name)
  cmake_parse_arguments(T "" "CLASSES;LIBRARY;LOCALE;MAIN" "ARGS;JVM_ARGS" ${ARGN})
  if(NOT T_LOCALE)
    set(T_LOCALE C.UTF-8)
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=${T_LOCALE}
            "${NORVEX_JAVA}" -Xcheck:jni ${T_JVM_ARGS}
            "-Djava.library.path=$<TARGET_FILE_DIR:${T_LIBRARY}>"
            -cp "$<TARGET_PROPERTY:${T_CLASSES},NORVEX_CLASS_DIR>" ${T_MAIN} ${T_ARGS})
  set_tests_properties(${name} PROPERTIES LABELS jvm
    FAIL_REGULAR_EXPRESSION "WARNING in native method|WARNING: JNI local refs|FATAL ERROR in native method|^FAIL ")
endfunction()
