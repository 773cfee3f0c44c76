// A stand-in for adb in the native tests: it records every call (one line, arguments separated
// by tabs) in $FAKE_ADB_DIR/calls and prints the reply the test left for it. The reply is chosen
// by the first argument and how often that word came before: "<word>.<n>" for the n-th call
// (from 0) when it exists, else "<word>"; no reply file prints nothing.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  const char* dir = std::getenv("FAKE_ADB_DIR");
  if (dir == nullptr) {
    std::fputs("fake adb: FAKE_ADB_DIR is not set\n", stderr);
    return 3;
  }
  const std::string base = dir;
  const std::string word = argc > 1 ? argv[1] : "";
  int earlier = 0;
  {
    std::ifstream calls(base + "/calls");
    for (std::string line; std::getline(calls, line);) {
      if (line.substr(0, line.find('\t')) == word) ++earlier;
    }
  }
  {
    std::ofstream calls(base + "/calls", std::ios::app);
    for (int i = 1; i < argc; ++i) calls << (i > 1 ? "\t" : "") << argv[i];
    calls << '\n';
  }
  std::ifstream reply(base + "/" + word + "." + std::to_string(earlier), std::ios::binary);
  if (!reply) reply.open(base + "/" + word, std::ios::binary);
  if (reply) {
    std::ostringstream text;
    text << reply.rdbuf();
    std::fwrite(text.str().data(), 1, text.str().size(), stdout);
  }
  return 0;
}
