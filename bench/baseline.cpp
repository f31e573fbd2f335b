// The plain way to build this checker, kept only as the yardstick of the
// benchmark: fgets into a 1024-byte buffer, sscanf of every line, printf of
// every text. It follows the same rules as the tool for the files the
// generator writes (short CR LF lines, decimal and 0x2RRGGBB colours), so
// both must print the same report and write the same copy. Never shipped.

#include <cstdio>
#include <cstring>

#include "plain_measure.h"

namespace {

struct Vec {
  double x, y, z;
};

void put_triangle(std::FILE* out, const char* prefix, const char* colour, Vec a, Vec b, Vec c,
                  const char* eol) {
  std::fprintf(out, "%s3 %s %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg%s", prefix,
               colour, a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z, eol);
}

void put_conditional(std::FILE* out, const char* prefix, Vec a, Vec b, Vec c, Vec d,
                     const char* eol) {
  std::fprintf(out,
               "%s5 24 %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg %.7lg%s",
               prefix, a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z, d.x, d.y, d.z, eol);
}

}  // namespace

int main(int argc, char** argv) {
  double warning = 1.0, error = 3.0;
  bool auto_split = false, no_conditional = false;
  int i = 1;
  std::printf("\nSkewquad v1.4 - by Tarrow");
  std::printf("\n------------------------------------------\n\n");
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (argv[i][1] == 'c') auto_split = true;
    if (argv[i][1] == 'o') no_conditional = true;
    if (argv[i][1] == 'w') std::sscanf(argv[++i], "%lf", &warning);
    if (argv[i][1] == 't') std::sscanf(argv[++i], "%lf", &error);
  }
  std::printf("Coplanarity warning angle = %.7lg\n", warning);
  std::printf("Coplanarity threshold angle = %.7lg\n", error);
  const double low = warning * 0.1;
  std::FILE* in = std::fopen(argv[i], "rb");
  std::FILE* out = i + 1 < argc ? std::fopen(argv[i + 1], "wb") : nullptr;
  if (in == nullptr || (i + 1 < argc && out == nullptr)) return 2;
  std::printf("\nProcessing...\n");

  char line[1024];
  int number = 0, errors = 0, warnings = 0, lows = 0;
  while (std::fgets(line, sizeof line, in)) {
    ++number;
    int type = -1;
    std::sscanf(line, "%d", &type);
    if (type != 4) {
      if (out) std::fputs(line, out);
      continue;
    }
    int colour = 0;
    char colour_text[32];
    Vec p[4];
    const int fields = std::sscanf(line, "%d %i %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                                   &type, &colour, &p[0].x, &p[0].y, &p[0].z, &p[1].x, &p[1].y,
                                   &p[1].z, &p[2].x, &p[2].y, &p[2].z, &p[3].x, &p[3].y, &p[3].z);
    if (fields != 14) {
      std::printf("\nLine %d: Invalid quad line", number);
      if (out) std::fputs(line, out);
      continue;
    }
    std::sscanf(line, "%*d %31s", colour_text);
    const double corners[12] = {p[0].x, p[0].y, p[0].z, p[1].x, p[1].y, p[1].z,
                                p[2].x, p[2].y, p[2].z, p[3].x, p[3].y, p[3].z};
    const skewquad::testing::PlainWarp warp = skewquad::testing::plain_warp(corners);
    const double f24 = warp.fold_24, f13 = warp.fold_13, max = warp.max;
    if (out) {
      if (max > warning) {
        const char* eol = std::strstr(line, "\r\n") ? "\r\n" : "\n";
        const char* prefix = auto_split ? "" : "0 ";
        if (!auto_split) {
          std::fputs(line, out);
          std::fprintf(out, "0 Angle %.4lg> %.4lg%s0 Suggested split:%s", max, warning, eol, eol);
        }
        if (f24 > f13) {
          put_triangle(out, prefix, colour_text, p[0], p[1], p[2], eol);
          put_triangle(out, prefix, colour_text, p[0], p[2], p[3], eol);
          if (!no_conditional) put_conditional(out, prefix, p[0], p[2], p[1], p[3], eol);
        } else {
          put_triangle(out, prefix, colour_text, p[0], p[1], p[3], eol);
          put_triangle(out, prefix, colour_text, p[1], p[2], p[3], eol);
          if (!no_conditional) put_conditional(out, prefix, p[1], p[3], p[0], p[2], eol);
        }
      } else {
        std::fputs(line, out);
      }
    }
    if (max > error) {
      std::printf("\nLine %d: Angle = %.4lg", number, max);
      ++errors;
    } else if (max > warning) {
      ++warnings;
    } else if (max > low) {
      ++lows;
    }
  }

  std::printf("\n\n\n----------File Summary-------------");
  if (lows > 0) std::printf("\n\n%d quad(s) between %.4lg and %.4lg degrees", lows, low, warning);
  if (warnings > 0)
    std::printf("\n\nWarning: %d quad(s) between %.4lg and %.4lg degrees", warnings, warning,
                error);
  else
    std::printf("\n\nNo quad between %.4lg and %.4lg degrees", warning, error);
  if (errors > 0)
    std::printf("\n\nERROR: %d quad(s) above %.4lg degrees", errors, error);
  else
    std::printf("\n\nNo quad above %.4lg degrees", error);
  std::printf("\n\n-----------------------------------\n");
  if (errors > 0)
    std::printf("\n%d warped quad(s) detected", errors);
  else if (warning == 1.0 && error == 3.0)
    std::printf("\nAll quads are planar enough!");
  std::fclose(in);
  if (out) std::fclose(out);
  std::printf("\n\nPress <Enter> to quit");
  std::fflush(stdout);
  std::getchar();
  return 0;
}
