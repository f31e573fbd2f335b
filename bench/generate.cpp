// Writes a synthetic LDraw file with the line mix of the real parts library
// (see ldraw_lines.cpp), deterministically from a seed, every line ended by
// CR LF.
//
//   generate OUTPUT MEGABYTES [SEED]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "ldraw_lines.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: generate OUTPUT MEGABYTES [SEED]\n", stderr);
    return 1;
  }
  const long long target = std::atoll(argv[2]) * 1000 * 1000;
  std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::string block;
  std::string line;
  long long written = 0;
  while (written < target) {
    block.clear();
    while (block.size() < 1 << 20) {
      line.clear();
      append_line(line, random);
      line += "\r\n";
      block += line;
    }
    if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
      std::perror(argv[1]);
      return 1;
    }
    written += static_cast<long long>(block.size());
  }
  if (std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
