// The simulator's command line, trace and summary, which other tools rely on.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/random.h"
#include "game/world.h"
#include "tools/sim/simulator.h"

namespace {

// --- A small JSON reader, enough to check the simulator's lines strictly -----------------

struct Json {
  enum Kind { NUMBER, STRING, BOOL, ARRAY, OBJECT } kind = NUMBER;
  std::string text;  // a number as written, or a string's contents
  bool flag = false;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;  // in the order written

  const Json& operator[](const std::string& key) const {
    for (const auto& member : members) {
      if (member.first == key) return member.second;
    }
    throw std::runtime_error("no key " + key);
  }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const auto& member : members) keys.push_back(member.first);
    return keys;
  }
  double Number() const { return std::strtod(text.c_str(), nullptr); }
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  Json ReadWhole() {
    Json value = Read();
    if (pos_ != text_.size()) throw std::runtime_error("trailing text");
    return value;
  }

 private:
  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  void Expect(char c) {
    if (Peek() != c)
      throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(pos_));
    ++pos_;
  }
  std::string ReadString() {
    Expect('"');
    std::string s;
    while (Peek() != '"') {
      if (Peek() == '\0' || Peek() == '\\') throw std::runtime_error("bad string");
      s += text_[pos_++];
    }
    ++pos_;
    return s;
  }
  Json Read() {
    Json value;
    const char c = Peek();
    if (c == '{') {
      value.kind = Json::OBJECT;
      ++pos_;
      if (Peek() != '}') {
        do {
          if (Peek() == ',') ++pos_;
          std::string key = ReadString();
          Expect(':');
          value.members.emplace_back(key, Read());
        } while (Peek() == ',');
      }
      Expect('}');
    } else if (c == '[') {
      value.kind = Json::ARRAY;
      ++pos_;
      if (Peek() != ']') {
        do {
          if (Peek() == ',') ++pos_;
          value.items.push_back(Read());
        } while (Peek() == ',');
      }
      Expect(']');
    } else if (c == '"') {
      value.kind = Json::STRING;
      value.text = ReadString();
    } else if (text_.compare(pos_, 4, "true") == 0 || text_.compare(pos_, 5, "false") == 0) {
      value.kind = Json::BOOL;
      value.flag = c == 't';
      pos_ += value.flag ? 4 : 5;
    } else {
      const size_t start = pos_;
      while (std::strchr("-+.eE0123456789", Peek()) && Peek() != '\0') ++pos_;
      if (pos_ == start) throw std::runtime_error("bad value at " + std::to_string(pos_));
      value.text = text_.substr(start, pos_ - start);
    }
    return value;
  }

  const std::string& text_;
  size_t pos_ = 0;
};

Json ParseJson(const std::string& line) {
  return JsonReader(line).ReadWhole();
}

// --- Running the simulator ------------------------------------------------------------

struct SimRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  return text;
}

SimRun Simulate(std::vector<std::string> args) {
  args.insert(args.begin(), "jellyquake-sim");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  SimRun run;
  run.status = RunSimulator(static_cast<int>(argv.size()), argv.data(), out, err);
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  std::fclose(out);
  std::fclose(err);
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

// The same game played here, frame by frame, to compare with what the tool wrote.
struct Reference {
  explicit Reference(unsigned seed) {
    SeedRandom(seed);
    world.Reset(10, 10);
    PlaceStartEye(world);
  }
  CWorld world;
};

TEST(Simulator, TheSummaryLineReportsTheGame) {
  const SimRun run = Simulate({"--seed", "1", "--frames", "600", "--dt", "0.0166666666666666667"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u);
  const Json summary = ParseJson(lines[0]);
  EXPECT_EQ(summary.Keys(), (std::vector<std::string>{"seed", "frames", "dt", "score", "units",
                                                      "running", "holes"}));
  EXPECT_EQ(summary["seed"].text, "1");
  EXPECT_EQ(summary["frames"].text, "600");
  EXPECT_EQ(summary["dt"].Number(), 0.0166666666666666667);

  Reference reference(1);
  for (int i = 0; i < 600; ++i) reference.world.Advance(0.0166666666666666667);
  EXPECT_EQ(summary["score"].Number(), reference.world.score);  // every bit
  EXPECT_EQ(summary["units"].text, std::to_string(reference.world.units.size()));
  EXPECT_EQ(summary["running"].kind, Json::BOOL);
  EXPECT_TRUE(summary["running"].flag);
  EXPECT_EQ(summary["holes"].text, std::to_string(reference.world.openHoleCount));
}

TEST(Simulator, TheCameraStartsWhereANewGameLooksFrom) {
  CWorld world;
  world.Reset(10, 10);
  PlaceStartEye(world);
  EXPECT_NEAR(world.eyePoint.x, 5.2923, 1e-4);
  EXPECT_NEAR(world.eyePoint.y, -2.0023, 1e-4);
  EXPECT_NEAR(world.eyePoint.z, 6.3804, 1e-4);
}

TEST(Simulator, TheTraceHasOneExactLinePerFrame) {
  const SimRun run = Simulate({"--seed", "5", "--frames", "240", "--dt", "0.05", "--trace", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 242u);  // frames 0 to 240, then the summary
  EXPECT_EQ(ParseJson(lines.back()).Keys().front(), "seed");

  Reference reference(5);
  for (int frame = 0; frame <= 240; ++frame) {
    SCOPED_TRACE(frame);
    if (frame > 0) reference.world.Advance(0.05);
    const CWorld& world = reference.world;
    const Json line = ParseJson(lines[frame]);
    ASSERT_EQ(line.Keys(), (std::vector<std::string>{"frame", "clock", "running", "score", "holes",
                                                     "cells", "units", "flowers", "pending"}));
    EXPECT_EQ(line["frame"].text, std::to_string(frame));
    EXPECT_EQ(line["clock"].Number(), world.gameClock.current);
    EXPECT_EQ(line["running"].flag, world.IsRunning());
    EXPECT_EQ(line["score"].Number(), world.score);
    EXPECT_EQ(line["holes"].text, std::to_string(world.openHoleCount));
    std::string cells;
    for (int cell : world.cells) cells += static_cast<char>('0' + cell);
    EXPECT_EQ(line["cells"].text, cells);

    const Json& units = line["units"];
    ASSERT_EQ(units.items.size(), world.units.size());
    auto unit = world.units.begin();
    for (const Json& u : units.items) {
      ASSERT_EQ(u.Keys(), (std::vector<std::string>{"x", "y", "state", "happiness", "fear", "face",
                                                    "heading", "pitch", "alive"}));
      EXPECT_EQ(u["x"].Number(), unit->x);
      EXPECT_EQ(u["y"].Number(), unit->y);
      EXPECT_EQ(u["state"].text, std::to_string(unit->state));
      EXPECT_EQ(u["happiness"].Number(), unit->behaviour->GetHappiness());
      EXPECT_EQ(u["fear"].Number(), unit->behaviour->GetFear());
      EXPECT_EQ(u["face"].text, std::to_string(unit->face));
      EXPECT_EQ(u["heading"].Number(), unit->heading);
      EXPECT_EQ(u["pitch"].Number(), unit->pitch);
      EXPECT_EQ(u["alive"].flag, unit->alive);
      ++unit;
    }
    const Json& flowers = line["flowers"];
    ASSERT_EQ(flowers.items.size(), world.flowers.size());
    auto flower = world.flowers.begin();
    for (const Json& f : flowers.items) {
      ASSERT_EQ(f.items.size(), 4u);
      EXPECT_EQ(f.items[0].Number(), flower->x);
      EXPECT_EQ(f.items[1].Number(), flower->y);
      EXPECT_EQ(f.items[2].Number(), flower->lifeTimer.current);
      EXPECT_EQ(f.items[3].Number(), flower->lifeTimer.end);
      ++flower;
    }
    const Json& pending = line["pending"];
    ASSERT_EQ(pending.items.size(), world.pendingHoles.size());
    auto hole = world.pendingHoles.begin();
    for (const Json& p : pending.items) {
      ASSERT_EQ(p.items.size(), 3u);
      EXPECT_EQ(p.items[0].text, std::to_string(hole->column));
      EXPECT_EQ(p.items[1].text, std::to_string(hole->row));
      EXPECT_EQ(p.items[2].Number(), hole->formingTimer.current);
      ++hole;
    }
  }
  // The game got going within those 12 seconds.
  EXPECT_FALSE(ParseJson(lines[240])["pending"].items.empty() &&
               ParseJson(lines[240])["holes"].text == "0");
}

TEST(Simulator, TheTraceGoesToAFileAndReplaysTheSame) {
  const std::string path = ::testing::TempDir() + "jellyquake_sim_trace.jsonl";
  const SimRun first = Simulate({"--trace", path, "--dt", "0.1", "--frames", "50", "--seed", "9"});
  ASSERT_EQ(first.status, 0) << first.err;
  std::ifstream file(path);
  std::stringstream trace;
  trace << file.rdbuf();
  EXPECT_EQ(Lines(trace.str()).size(), 51u);
  EXPECT_EQ(Lines(first.out).size(), 1u);  // only the summary on standard output
  const SimRun again = Simulate({"--seed", "9", "--frames", "50", "--dt", "0.1"});
  EXPECT_EQ(again.out, first.out);
  std::remove(path.c_str());
}

TEST(Simulator, NoFramesStillSummarises) {
  const SimRun run = Simulate({"--seed", "0", "--frames", "0", "--dt", "1", "--trace", "-"});
  ASSERT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(ParseJson(lines[0])["frame"].text, "0");
  EXPECT_EQ(ParseJson(lines[1])["units"].text, "15");
  EXPECT_EQ(ParseJson(lines[1])["score"].text, "0");
}

TEST(Simulator, BadArgumentsPrintUsageAndExitWithTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--seed", "1", "--frames", "10"},                           // no step
      {"--seed", "1", "--frames", "10", "--dt"},                   // missing value
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--fast"},  // unknown option
      {"--seed", "x", "--frames", "10", "--dt", "0.1"},
      {"--seed", "-1", "--frames", "10", "--dt", "0.1"},
      {"--seed", "4294967296", "--frames", "10", "--dt", "0.1"},
      {"--seed", "1", "--frames", "-1", "--dt", "0.1"},
      {"--seed", "1", "--frames", "1.5", "--dt", "0.1"},
      {"--seed", "1", "--frames", "99999999999999999999", "--dt", "0.1"},
      {"--seed", "1", "--frames", "10", "--dt", "0"},
      {"--seed", "1", "--frames", "10", "--dt", "-0.1"},
      {"--seed", "1", "--frames", "10", "--dt", "inf"},
      {"--seed", "1", "--frames", "10", "--dt", "nan"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1s"},
      {"--seed", "1", "--frames", "10", "--dt", ""},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--trace", ""},
      {"seed", "1"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--player", "human"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--player", ""},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--player"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--games", "0"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--games", "-2"},
      {"--seed", "1", "--frames", "10", "--dt", "0.1", "--games", "two"},
      {"--seed", "4294967295", "--frames", "10", "--dt", "0.1", "--games", "2"},  // seeds run out
  };
  for (const auto& args : bad) {
    std::string joined;
    for (const std::string& a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    const SimRun run = Simulate(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("usage: jellyquake-sim --seed N --frames F --dt D", 0), 0u);
  }
}

// What the bot player changes, and what it keeps.
TEST(Simulator, TheBotPlaysTheSameGameForTheSameSeedAndChangesItsOutcome) {
  const std::vector<std::string> game = {"--seed", "3",    "--frames",
                                         "5400",   "--dt", "0.0166666666666666667"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = game;
    args.insert(args.end(), extra.begin(), extra.end());
    return Simulate(args);
  };
  const SimRun alone = with({});
  const SimRun none = with({"--player", "none"});
  const SimRun bot = with({"--player", "bot"});
  const SimRun botAgain = with({"--player", "bot"});
  ASSERT_EQ(bot.status, 0) << bot.err;
  EXPECT_EQ(none.out, alone.out) << "none is the default";
  EXPECT_EQ(botAgain.out, bot.out) << "a seed replays the bot's game too";
  ASSERT_EQ(Lines(bot.out).size(), 1u);
  const Json helped = ParseJson(Lines(bot.out)[0]);
  const Json unhelped = ParseJson(Lines(alone.out)[0]);
  EXPECT_EQ(helped.Keys(), unhelped.Keys()) << "the summary line keeps its keys";
  EXPECT_NE(helped["score"].Number(), unhelped["score"].Number());
}

TEST(Simulator, ManyGamesGetALineEachAndOneForThemAll) {
  const SimRun run = Simulate(
      {"--seed", "41", "--frames", "1200", "--dt", "0.05", "--games", "4", "--player", "bot"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 5u);
  std::vector<double> scores;
  std::vector<double> units;
  for (int game = 0; game < 4; ++game) {
    SCOPED_TRACE(game);
    const std::string seed = std::to_string(41 + game);
    // Each line is the line of that seed's game played on its own.
    const SimRun single =
        Simulate({"--seed", seed, "--frames", "1200", "--dt", "0.05", "--player", "bot"});
    EXPECT_EQ(lines[game] + "\n", single.out);
    const Json line = ParseJson(lines[game]);
    scores.push_back(line["score"].Number());
    units.push_back(line["units"].Number());
  }
  const Json all = ParseJson(lines[4]);
  EXPECT_EQ(all.Keys(), (std::vector<std::string>{"games", "player", "seed", "frames", "dt",
                                                  "score", "units"}));
  EXPECT_EQ(all["games"].text, "4");
  EXPECT_EQ(all["player"].text, "bot");
  EXPECT_EQ(all["seed"].text, "41");
  EXPECT_EQ(all["frames"].text, "1200");
  EXPECT_EQ(all["dt"].Number(), 0.05);
  auto checkSpread = [](const Json& spread, const std::vector<double>& values) {
    ASSERT_EQ(spread.Keys(), (std::vector<std::string>{"mean", "sd", "min", "max"}));
    double mean = 0;
    for (double v : values) mean += v / values.size();
    double variance = 0;
    for (double v : values) variance += (v - mean) * (v - mean) / values.size();
    EXPECT_NEAR(spread["mean"].Number(), mean, 1e-9 * (1 + std::fabs(mean)));
    EXPECT_NEAR(spread["sd"].Number(), std::sqrt(variance), 1e-9 * (1 + std::fabs(mean)));
    EXPECT_EQ(spread["min"].Number(), *std::min_element(values.begin(), values.end()));
    EXPECT_EQ(spread["max"].Number(), *std::max_element(values.begin(), values.end()));
  };
  checkSpread(all["score"], scores);
  checkSpread(all["units"], units);
}

TEST(Simulator, OneGameAskedForStillGetsTheClosingLine) {
  const SimRun run = Simulate({"--seed", "2", "--frames", "10", "--dt", "0.1", "--games", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  const Json all = ParseJson(lines[1]);
  EXPECT_EQ(all["player"].text, "none");
  EXPECT_EQ(all["score"]["sd"].Number(), 0);
  EXPECT_EQ(all["units"]["mean"].text, "15");
}

TEST(Simulator, TheTracesOfManyGamesFollowEachOther) {
  const SimRun run =
      Simulate({"--seed", "8", "--frames", "3", "--dt", "0.1", "--games", "2", "--trace", "-"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u + 4u + 2u + 1u);
  EXPECT_EQ(ParseJson(lines[3])["frame"].text, "3");
  EXPECT_EQ(ParseJson(lines[4])["frame"].text, "0");
  const SimRun second = Simulate({"--seed", "9", "--frames", "3", "--dt", "0.1", "--trace", "-"});
  const std::vector<std::string> alone = Lines(second.out);
  for (int frame = 0; frame <= 3; ++frame) EXPECT_EQ(lines[4 + frame], alone[frame]);
  EXPECT_EQ(lines[9], alone[4]) << "the second game's summary";
}

TEST(Simulator, AnUnwritableTraceIsAnErrorNotACrash) {
  const SimRun run = Simulate(
      {"--seed", "1", "--frames", "5", "--dt", "0.1", "--trace", "/nonexistent-dir/trace.jsonl"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Lines(run.err).size(), 1u);
  EXPECT_NE(run.err.find("/nonexistent-dir/trace.jsonl"), std::string::npos);
}

TEST(Simulator, AFullDiskIsAnErrorNotASuccess) {
  std::FILE* probe = std::fopen("/dev/full", "w");
  if (!probe) GTEST_SKIP() << "no /dev/full here";
  std::fclose(probe);
  const SimRun run =
      Simulate({"--seed", "1", "--frames", "5", "--dt", "0.1", "--trace", "/dev/full"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
}

}  // namespace
