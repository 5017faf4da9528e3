// The simulator's command line, trace and summary, which other tools rely on.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/random.h"
#include "game/world.h"
#include "tools/sim/simulator.h"

namespace {

// One value of a JSON line with the key it belongs to ("" inside plain arrays).
struct Value {
  std::string key;
  std::string text;
  bool operator==(const Value& o) const { return key == o.key && text == o.text; }
};
std::ostream& operator<<(std::ostream& out, const Value& v) {
  return out << v.key << "=" << v.text;
}

// The values of a JSON line in the order written; brackets must balance.
std::vector<Value> ReadValues(const std::string& line) {
  std::vector<Value> values;
  std::string key;
  int depth = 0;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == '{' || c == '[') {
      ++depth;
      ++i;
      if (c == '[') key.clear();
    } else if (c == '}' || c == ']') {
      --depth;
      ++i;
      EXPECT_TRUE(depth > 0 || i == line.size()) << "text after the end: " << line;
    } else if (c == ',') {
      ++i;
    } else if (c == '"') {
      const size_t end = line.find('"', i + 1);
      const std::string text = line.substr(i + 1, end - i - 1);
      i = end + 1;
      if (i < line.size() && line[i] == ':') {
        key = text;
        ++i;
      } else {
        values.push_back({key, text});
      }
    } else {
      const size_t end = line.find_first_of(",]}", i);
      values.push_back({key, line.substr(i, end - i)});
      i = end;
    }
  }
  EXPECT_EQ(depth, 0) << line;
  return values;
}

// Numbers are compared by value, so every bit of a double must survive the text.
std::string Num(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return std::strtod(text, nullptr) == v ? text : "lossy";
}
std::string Flag(bool v) {
  return v ? "true" : "false";
}

// What a trace line must say about a world, value by value.
std::vector<Value> Expected(long long frame, const CWorld& w) {
  std::string cells;
  for (int cell : w.cells) cells += static_cast<char>('0' + cell);
  std::vector<Value> v = {
      {"frame", std::to_string(frame)},           {"clock", Num(w.gameClock.current)},
      {"running", Flag(w.IsRunning())},           {"score", Num(w.score)},
      {"holes", std::to_string(w.openHoleCount)}, {"cells", cells}};
  for (const CUnit& u : w.units) {
    v.insert(v.end(), {{"x", Num(u.x)},
                       {"y", Num(u.y)},
                       {"state", std::to_string(u.state)},
                       {"happiness", Num(u.behaviour->GetHappiness())},
                       {"fear", Num(u.behaviour->GetFear())},
                       {"face", std::to_string(u.face)},
                       {"heading", Num(u.heading)},
                       {"pitch", Num(u.pitch)},
                       {"alive", Flag(u.alive)}});
  }
  for (const CFlower& f : w.flowers) {
    for (double d : {f.x, f.y, f.lifeTimer.current, f.lifeTimer.end}) v.push_back({"", Num(d)});
  }
  for (const CPendingHole& h : w.pendingHoles) {
    v.insert(v.end(), {{"", std::to_string(h.column)},
                       {"", std::to_string(h.row)},
                       {"", Num(h.formingTimer.current)}});
  }
  return v;
}

// Rewrites the numbers of a line through strtod so "0.1" and "0.10000000000000001" agree.
std::vector<Value> Normalised(std::vector<Value> values) {
  for (Value& v : values) {
    char* end = nullptr;
    const double d = std::strtod(v.text.c_str(), &end);
    if (!v.text.empty() && *end == '\0' && v.key != "cells") v.text = Num(d);
  }
  return values;
}

struct SimRun {
  int status = -1;
  std::vector<std::string> out;
  std::vector<std::string> err;
};

std::vector<std::string> Lines(std::FILE* file) {
  std::rewind(file);
  std::vector<std::string> lines;
  std::string line;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
    } else {
      lines.push_back(line);
      line.clear();
    }
  }
  EXPECT_EQ(line, "") << "unterminated last line";
  std::fclose(file);
  return lines;
}

SimRun Simulate(std::vector<std::string> args) {
  args.insert(args.begin(), "jellyquake-sim");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  SimRun run;
  run.status = RunSimulator(static_cast<int>(argv.size()), argv.data(), out, err);
  run.out = Lines(out);
  run.err = Lines(err);
  return run;
}

void StartGame(CWorld& world, unsigned seed) {
  SeedRandom(seed);
  world.Reset(10, 10);
  PlaceStartEye(world);
}

TEST(Simulator, TheSummaryLineReportsTheGameBitForBit) {
  const double dt = 0.0166666666666666667;
  const SimRun run = Simulate({"--seed", "1", "--frames", "600", "--dt", "0.0166666666666666667"});
  ASSERT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.empty());
  ASSERT_EQ(run.out.size(), 1u);
  CWorld world;
  StartGame(world, 1);
  // Blobs glance at the camera, so the tool must place it where a new game does.
  EXPECT_NEAR(world.eyePoint.x, 5.2923, 1e-4);
  EXPECT_NEAR(world.eyePoint.y, -2.0023, 1e-4);
  EXPECT_NEAR(world.eyePoint.z, 6.3804, 1e-4);
  for (int i = 0; i < 600; ++i) world.Advance(dt);
  const std::vector<Value> expected = {{"seed", "1"},
                                       {"frames", "600"},
                                       {"dt", Num(dt)},
                                       {"score", Num(world.score)},
                                       {"units", std::to_string(world.units.size())},
                                       {"running", "true"},
                                       {"holes", std::to_string(world.openHoleCount)}};
  EXPECT_EQ(Normalised(ReadValues(run.out[0])), expected);
}

TEST(Simulator, TheTraceHasOneExactLinePerFrame) {
  const SimRun run = Simulate({"--seed", "5", "--frames", "240", "--dt", "0.05", "--trace", "-"});
  ASSERT_EQ(run.status, 0);
  ASSERT_EQ(run.out.size(), 242u);  // frames 0 to 240, then the summary
  EXPECT_EQ(ReadValues(run.out.back()).front().key, "seed");
  CWorld world;
  StartGame(world, 5);
  for (int frame = 0; frame <= 240; ++frame) {
    if (frame > 0) world.Advance(0.05);
    ASSERT_EQ(Normalised(ReadValues(run.out[frame])), Expected(frame, world)) << frame;
  }
  // The game got going within those 12 seconds, so the trace showed real change.
  EXPECT_FALSE(world.pendingHoles.empty() && world.openHoleCount == 0);
  EXPECT_FALSE(world.flowers.empty() && world.pendingHoles.empty());
}

TEST(Simulator, TheTraceGoesToAFileAndNoFramesStillSummarise) {
  const std::string path = ::testing::TempDir() + "jellyquake_sim_trace.jsonl";
  const SimRun first = Simulate({"--trace", path, "--dt", "0.1", "--frames", "50", "--seed", "9"});
  ASSERT_EQ(first.status, 0);
  std::ifstream file(path);
  int traced = 0;
  for (std::string line; std::getline(file, line);) ++traced;
  EXPECT_EQ(traced, 51);
  EXPECT_EQ(first.out.size(), 1u);  // only the summary on standard output
  EXPECT_EQ(Simulate({"--seed", "9", "--frames", "50", "--dt", "0.1"}).out, first.out);
  std::remove(path.c_str());

  const SimRun none = Simulate({"--seed", "0", "--frames", "0", "--dt", "1", "--trace", "-"});
  ASSERT_EQ(none.status, 0);
  ASSERT_EQ(none.out.size(), 2u);
  EXPECT_EQ(ReadValues(none.out[1])[4], (Value{"units", "15"}));
}

TEST(Simulator, BadArgumentsPrintUsageAndExitWithTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--seed", "1", "--frames", "10"},                           // no step
      {"--seed", "1", "--frames", "10", "--dt"},                   // missing value
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--fast"},  // unknown option
      {"--seed", "-1", "--frames", "10", "--dt", "0.1"},
      {"--seed", "4294967296", "--frames", "10", "--dt", "0.1"},
      {"--seed", "1", "--frames", "1.5", "--dt", "0.1"},
      {"--seed", "1", "--frames", "99999999999999999999", "--dt", "0.1"},
      {"--seed", "1", "--frames", "10", "--dt", "0"},
      {"--seed", "1", "--frames", "10", "--dt", "nan"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1s"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--trace", ""},
  };
  for (const auto& args : bad) {
    const SimRun run = Simulate(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_TRUE(run.out.empty());
    ASSERT_EQ(run.err.size(), 1u);
    EXPECT_EQ(run.err[0].rfind("usage: jellyquake-sim --seed N --frames F --dt D", 0), 0u);
  }
}

TEST(Simulator, AnUnwritableTraceIsAnErrorNotASuccess) {
  for (const char* path : {"/nonexistent-dir/trace.jsonl", "/dev/full"}) {
    if (std::string(path) == "/dev/full" && !std::ifstream(path)) continue;
    const SimRun run = Simulate({"--seed", "1", "--frames", "5", "--dt", "0.1", "--trace", path});
    EXPECT_EQ(run.status, 2) << path;
    EXPECT_TRUE(run.out.empty()) << path;
    ASSERT_EQ(run.err.size(), 1u) << path;
    EXPECT_NE(run.err[0].find(path), std::string::npos);
  }
}

}  // namespace
