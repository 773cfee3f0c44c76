# Finds JsonCpp, zlib, minizip and the JNI headers for the current target and exposes them as
# norvex::jsoncpp, norvex::zlib, norvex::minizip and norvex::jni.
if(NORVEX_WINDOWS)
  if(NOT EXISTS "${NORVEX_DEPS_PREFIX}/lib/libminizip.a")
    message(FATAL_ERROR "mingw dependencies missing in ${NORVEX_DEPS_PREFIX}: run scripts/bootstrap")
  endif()
  foreach(lib jsoncpp minizip z)
    add_library(norvex_dep_${lib} STATIC IMPORTED)
    set_target_properties(norvex_dep_${lib} PROPERTIES
      IMPORTED_LOCATION "${NORVEX_DEPS_PREFIX}/lib/lib${lib}.a"
      INTERFACE_INCLUDE_DIRECTORIES "${NORVEX_DEPS_PREFIX}/include")
  endforeach()
  add_library(norvex::jsoncpp ALIAS norvex_dep_jsoncpp)
  add_library(norvex::zlib ALIAS norvex_dep_z)
  target_link_libraries(norvex_dep_minizip INTERFACE norvex_dep_z)
  add_library(norvex::minizip ALIAS norvex_dep_minizip)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(NORVEX_JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
  pkg_check_modules(NORVEX_MINIZIP REQUIRED IMPORTED_TARGET minizip)
  find_package(ZLIB REQUIRED)
  add_library(norvex::jsoncpp ALIAS PkgConfig::NORVEX_JSONCPP)
  add_library(norvex::minizip ALIAS PkgConfig::NORVEX_MINIZIP)
  add_library(norvex::zlib ALIAS ZLIB::ZLIB)
endif()

# JNI: the JDK's jni.h; for mingw with a jni_md.h of our own beside it.
set(NORVEX_JDK_HOME "/usr/lib/jvm/java-17-openjdk-amd64" CACHE PATH "JDK 17 used for JNI headers and the JVM tests")
if(NOT EXISTS "${NORVEX_JDK_HOME}/include/jni.h")
  message(FATAL_ERROR "JDK 17 not found at ${NORVEX_JDK_HOME}: run scripts/bootstrap")
endif()
add_library(norvex_jni INTERFACE)
if(NORVEX_WINDOWS)
  target_include_directories(norvex_jni SYSTEM INTERFACE
    "${NORVEX_JDK_HOME}/include" "${CMAKE_SOURCE_DIR}/native/jni/mingw")
else()
  target_include_directories(norvex_jni SYSTEM INTERFACE
    "${NORVEX_JDK_HOME}/include" "${NORVEX_JDK_HOME}/include/linux")
endif()
add_library(norvex::jni ALIAS norvex_jni)
