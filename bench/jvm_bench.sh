# Shared by the JNI library benchmarks (sourced): the optimised host build of the library and
# its Java classes, and a JVM to run a benchmark class in.
#   jvm_bench_setup FOLDER LIBRARY CLASSES   FOLDER: the library's folder in the build tree
#   jvm_bench "JVM options" MAIN_CLASS ARGS...
# NORVEX_BENCH_BUILD=dir uses an already configured native-release build tree instead.
java=/usr/lib/jvm/java-17-openjdk-amd64/bin/java

jvm_bench_setup() {
  bench_folder=$1
  if [ -n "${NORVEX_BENCH_BUILD:-}" ]; then
    build=$NORVEX_BENCH_BUILD
    cmake --build "$build" --target "$2" "$3" >/dev/null
  else
    build=build/native-release
    bash scripts/build native-release >/dev/null
  fi
  bench_classes=$build/$bench_folder/$3
}

jvm_bench() {
  local options
  read -ra options <<<"$1"
  shift
  "$java" "${options[@]}" "-Djava.library.path=$build/$bench_folder" -cp "$bench_classes" "$@"
}
