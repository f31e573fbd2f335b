// Writes a tree shaped like the LDraw parts library, deterministically from
// a seed: its folders (parts, parts/s, p, p/48, p/8) with their shares of
// the files, file sizes spread as the library's are (10% under 450 bytes,
// half under 2.2 KB, 90% under 34 KB, 99% under 170 KB, the largest 10.6
// MB), and the line mix of ldraw_lines.cpp, every line ended by CR LF.
//
//   generate-library FOLDER [FILES] [SEED]      (27,700 files by default)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "ldraw_lines.h"

namespace {

// Points of the size distribution: the share of files below each size. The
// sizes between are spread evenly on a logarithmic scale, which with these
// points gives about the library's 355 MiB for its 27,700 files.
struct Quantile {
  double share;
  double bytes;
};
constexpr Quantile kSizes[] = {{0.0, 120},     {0.1, 450},       {0.5, 2200},
                               {0.75, 7000},   {0.9, 34000},     {0.95, 50000},
                               {0.99, 170000}, {0.9995, 450000}, {1.0, 900000}};
constexpr double kLargestFile = 10.6e6;

double file_size(std::mt19937_64& random) {
  const double share = std::uniform_real_distribution<double>(0.0, 1.0)(random);
  for (std::size_t i = 1; i < std::size(kSizes); ++i) {
    if (share <= kSizes[i].share) {
      const Quantile& low = kSizes[i - 1];
      const Quantile& high = kSizes[i];
      const double along = (share - low.share) / (high.share - low.share);
      return std::exp(std::log(low.bytes) + along * (std::log(high.bytes) - std::log(low.bytes)));
    }
  }
  return kSizes[std::size(kSizes) - 1].bytes;
}

// The folders and their shares of the files.
struct Folder {
  const char* name;
  double share;
  const char* suffix;  // of the file names in it
};
constexpr Folder kFolders[] = {{"parts", 0.60, ""},
                               {"parts/s", 0.15, "s01"},
                               {"p", 0.14, ""},
                               {"p/48", 0.08, ""},
                               {"p/8", 0.03, ""}};

bool write_file(const std::filesystem::path& path, double bytes, std::mt19937_64& random) {
  std::string content =
      "0 Generated part for the library benchmark\r\n0 Name: " + path.filename().string() +
      "\r\n0 BFC CERTIFY CCW\r\n\r\n";
  std::string line;
  while (static_cast<double>(content.size()) < bytes) {
    line.clear();
    append_line(line, random);
    content += line;
    content += "\r\n";
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: generate-library FOLDER [FILES] [SEED]\n", stderr);
    return 1;
  }
  const std::filesystem::path root = argv[1];
  const long files = argc > 2 ? std::atol(argv[2]) : 27700;
  std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20261207);
  long made = 0;
  for (const Folder& folder : kFolders) {
    std::filesystem::create_directories(root / folder.name);
    const long count = &folder == &kFolders[std::size(kFolders) - 1]
                           ? files - made
                           : std::lround(files * folder.share);
    for (long i = 0; i < count; ++i, ++made) {
      const double bytes = made == 0 ? kLargestFile : file_size(random);
      const std::string name = std::to_string(1000 + made) + folder.suffix + ".dat";
      if (!write_file(root / folder.name / name, bytes, random)) {
        std::perror(name.c_str());
        return 1;
      }
    }
  }
  return 0;
}
