// Per-quad costs of the steps a quad line goes through.

#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "geometry/warp.h"
#include "text/quad_line_reader.h"
#include "text/read_ahead.h"

namespace {

std::vector<std::string> quad_lines() {
  std::mt19937_64 random(16);
  std::uniform_int_distribution<int> coordinate(-400000, 400000);
  std::vector<std::string> lines;
  for (int i = 0; i < 4096; ++i) {
    std::string line = "4 16";
    for (int k = 0; k < 12; ++k) {
      const int value = coordinate(random);
      line += ' ' + std::to_string(value / 10000) + '.' + std::to_string(std::abs(value % 10000));
    }
    lines.push_back(line + "\r\n");
  }
  return lines;
}

void parse_quad_per_quad(benchmark::State& state) {
  const std::vector<std::string> lines = quad_lines();
  skewquad::QuadLine quad;
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(skewquad::parse_quad(lines[i++ % lines.size()], quad));
    benchmark::DoNotOptimize(quad);
  }
}
BENCHMARK(parse_quad_per_quad);

// The check loop's way: in place, with room after each line, flat quads
// recognised from their text (none of these is flat).
void read_quad_per_quad(benchmark::State& state) {
  std::vector<std::string> lines = quad_lines();
  for (std::string& line : lines) line.append(skewquad::kQuadLinePadding, ' ');
  skewquad::QuadLine quad;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::string& line = lines[i++ % lines.size()];
    const std::string_view text(line.data(), line.size() - skewquad::kQuadLinePadding);
    benchmark::DoNotOptimize(skewquad::read_quad(text, quad));
    benchmark::DoNotOptimize(quad);
  }
}
BENCHMARK(read_quad_per_quad);

void measure_warp_per_quad(benchmark::State& state) {
  std::vector<skewquad::QuadLine> quads;
  for (const std::string& line : quad_lines()) {
    skewquad::parse_quad(line, quads.emplace_back());
  }
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(skewquad::measure_warp(quads[i++ % quads.size()]));
  }
}
BENCHMARK(measure_warp_per_quad);

// The cheaper test that spares most quads the measure.
void folds_surely_below_per_quad(benchmark::State& state) {
  std::vector<skewquad::QuadLine> quads;
  for (const std::string& line : quad_lines()) {
    skewquad::parse_quad(line, quads.emplace_back());
  }
  const double sine = skewquad::sine_surely_below(0.1);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(skewquad::folds_surely_below(quads[i++ % quads.size()], sine));
  }
}
BENCHMARK(folds_surely_below_per_quad);

}  // namespace
