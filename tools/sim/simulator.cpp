#include "tools/sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/random.h"
#include "game/exact_math.h"
#include "game/world.h"
#include "tools/sim/bot_player.h"

namespace {
constexpr int BOARD_SIZE = 10;
constexpr const char* USAGE =
    "usage: jellyquake-sim --seed N --frames F --dt D [--trace FILE] [--player none|bot] "
    "[--games K]";
constexpr unsigned long long LAST_SEED = 0xFFFFFFFFull;

enum PlayerKind { PLAYER_NONE, PLAYER_BOT };

struct Options {
  unsigned int seed = 0;
  long long frames = 0;
  double dt = 0;
  const char* trace = nullptr;
  PlayerKind player = PLAYER_NONE;
  long long games = 1;
  bool gamesGiven = false;  // --games asks for the closing summary of every game
};

// How one game ended.
struct GameResult {
  double score = 0;
  size_t units = 0;
  bool running = false;
  int holes = 0;
};

bool AllDigits(const char* text) {
  if (*text == '\0') return false;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

bool ParseSeed(const char* text, unsigned int& seed) {
  if (!AllDigits(text)) return false;
  errno = 0;
  const unsigned long long value = std::strtoull(text, nullptr, 10);
  if (errno != 0 || value > LAST_SEED) return false;
  seed = static_cast<unsigned int>(value);
  return true;
}

bool ParseCount(const char* text, long long& frames) {
  if (!AllDigits(text)) return false;  // a minus sign makes F < 0: refused too
  errno = 0;
  frames = std::strtoll(text, nullptr, 10);
  return errno == 0;
}

bool ParseStep(const char* text, double& dt) {
  if (*text == '\0' || std::isspace(static_cast<unsigned char>(*text))) return false;
  char* end = nullptr;
  dt = std::strtod(text, &end);
  return *end == '\0' && std::isfinite(dt) && dt > 0;
}

bool ParsePlayer(const char* text, PlayerKind& player) {
  if (std::strcmp(text, "none") == 0) {
    player = PLAYER_NONE;
  } else if (std::strcmp(text, "bot") == 0) {
    player = PLAYER_BOT;
  } else {
    return false;
  }
  return true;
}

bool ParseOptions(int argc, const char* const* argv, Options& options) {
  bool haveSeed = false;
  bool haveFrames = false;
  bool haveStep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (name == "--seed") {
      if (!ParseSeed(value, options.seed)) return false;
      haveSeed = true;
    } else if (name == "--frames") {
      if (!ParseCount(value, options.frames)) return false;
      haveFrames = true;
    } else if (name == "--dt") {
      if (!ParseStep(value, options.dt)) return false;
      haveStep = true;
    } else if (name == "--trace") {
      if (*value == '\0') return false;
      options.trace = value;
    } else if (name == "--player") {
      if (!ParsePlayer(value, options.player)) return false;
    } else if (name == "--games") {
      if (!ParseCount(value, options.games) || options.games < 1) return false;
      options.gamesGiven = true;
    } else {
      return false;
    }
  }
  // Every game's seed must be a seed: N + K - 1 may not pass the largest.
  const bool seedsFit =
      static_cast<unsigned long long>(options.games - 1) <= LAST_SEED - options.seed;
  return haveSeed && haveFrames && haveStep && seedsFit;
}

void WriteDouble(std::FILE* file, double value) {
  std::fprintf(file, "%.17g", value);
}

const char* Bool(bool value) {
  return value ? "true" : "false";
}
}  // namespace

void PlaceStartEye(CWorld& world) {
  // The camera of a new game: orbiting a point a little south of the board's middle.
  const double yaw = PI * 1.55;
  const double pitch = 0.8722222222222222;
  const double lookAtX = (world.width - 1) * 0.5;
  const double lookAtY = (world.height - 1) * 0.5 - world.width * 0.15;
  const double distance = (std::max(world.width, world.height) + 0.5) * 0.75;
  world.eyePoint.x = lookAtX + ExactCos(pitch) * ExactCos(yaw) * distance;
  world.eyePoint.y = lookAtY + ExactCos(pitch) * ExactSin(yaw) * distance;
  world.eyePoint.z = ExactSin(pitch) * distance + BLOB_RADIUS;
}

void WriteTraceLine(std::FILE* file, long long frame, const CWorld& world) {
  std::fprintf(file, "{\"frame\":%lld,\"clock\":", frame);
  WriteDouble(file, world.gameClock.current);
  std::fprintf(file, ",\"running\":%s,\"score\":", Bool(world.gameClock.active));
  WriteDouble(file, world.score);
  std::fprintf(file, ",\"holes\":%d,\"cells\":\"", world.openHoleCount);
  for (int cell : world.cells) std::fputc('0' + cell, file);
  std::fputs("\",\"units\":[", file);
  bool first = true;
  for (const CUnit& unit : world.units) {
    const double happiness = unit.behaviour ? unit.behaviour->GetHappiness() : 0;
    const double fear = unit.behaviour ? unit.behaviour->GetFear() : 0;
    std::fputs(first ? "{\"x\":" : ",{\"x\":", file);
    first = false;
    WriteDouble(file, unit.x);
    std::fputs(",\"y\":", file);
    WriteDouble(file, unit.y);
    std::fprintf(file, ",\"state\":%d,\"happiness\":", unit.state);
    WriteDouble(file, happiness);
    std::fputs(",\"fear\":", file);
    WriteDouble(file, fear);
    std::fprintf(file, ",\"face\":%d,\"heading\":", unit.face);
    WriteDouble(file, unit.heading);
    std::fputs(",\"pitch\":", file);
    WriteDouble(file, unit.pitch);
    std::fprintf(file, ",\"alive\":%s}", Bool(unit.alive));
  }
  std::fputs("],\"flowers\":[", file);
  first = true;
  for (const CFlower& flower : world.flowers) {
    std::fputs(first ? "[" : ",[", file);
    first = false;
    WriteDouble(file, flower.x);
    std::fputc(',', file);
    WriteDouble(file, flower.y);
    std::fputc(',', file);
    WriteDouble(file, flower.lifeTimer.current);
    std::fputc(',', file);
    WriteDouble(file, flower.lifeTimer.end);
    std::fputc(']', file);
  }
  std::fputs("],\"pending\":[", file);
  first = true;
  for (const CPendingHole& hole : world.pendingHoles) {
    std::fprintf(file, "%s[%d,%d,", first ? "" : ",", hole.column, hole.row);
    first = false;
    WriteDouble(file, hole.formingTimer.current);
    std::fputc(']', file);
  }
  std::fputs("]}\n", file);
}

namespace {
// Plays one seeded game; the trace, if any, gets its frames. Throws the game's error.
GameResult PlayGame(const Options& options, unsigned int seed, std::FILE* trace) {
  SeedRandom(seed);
  CWorld world;
  CBotPlayer bot;
  world.Reset(BOARD_SIZE, BOARD_SIZE);
  PlaceStartEye(world);
  if (trace) WriteTraceLine(trace, 0, world);
  for (long long frame = 1; frame <= options.frames; ++frame) {
    world.Advance(options.dt);
    // The player acts between frames, after the world's step, as in the game.
    if (options.player == PLAYER_BOT) bot.Update(world, options.dt);
    if (trace) WriteTraceLine(trace, frame, world);
  }
  return {world.score, world.units.size(), world.gameClock.active, world.openHoleCount};
}

void WriteSummary(std::FILE* out, const Options& options, unsigned int seed,
                  const GameResult& result) {
  std::fprintf(out, "{\"seed\":%u,\"frames\":%lld,\"dt\":", seed, options.frames);
  WriteDouble(out, options.dt);
  std::fputs(",\"score\":", out);
  WriteDouble(out, result.score);
  std::fprintf(out, ",\"units\":%zu,\"running\":%s,\"holes\":%d}\n", result.units,
               Bool(result.running), result.holes);
}

// "name":{"mean":..,"sd":..,"min":..,"max":..} over the games; sd is the spread of the
// games about their mean.
void WriteSpread(std::FILE* out, const char* name, const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = sum / values.size();
  double squares = 0;
  for (double v : values) squares += (v - mean) * (v - mean);
  const double sd = std::sqrt(squares / values.size());
  std::fprintf(out, "\"%s\":{\"mean\":", name);
  WriteDouble(out, mean);
  std::fputs(",\"sd\":", out);
  WriteDouble(out, sd);
  std::fputs(",\"min\":", out);
  WriteDouble(out, *std::min_element(values.begin(), values.end()));
  std::fputs(",\"max\":", out);
  WriteDouble(out, *std::max_element(values.begin(), values.end()));
  std::fputc('}', out);
}

void WriteGamesSummary(std::FILE* out, const Options& options,
                       const std::vector<GameResult>& results) {
  std::vector<double> scores;
  std::vector<double> units;
  for (const GameResult& result : results) {
    scores.push_back(result.score);
    units.push_back(static_cast<double>(result.units));
  }
  std::fprintf(
      out, "{\"games\":%zu,\"player\":\"%s\",\"seed\":%u,\"frames\":%lld,\"dt\":", results.size(),
      options.player == PLAYER_BOT ? "bot" : "none", options.seed, options.frames);
  WriteDouble(out, options.dt);
  std::fputc(',', out);
  WriteSpread(out, "score", scores);
  std::fputc(',', out);
  WriteSpread(out, "units", units);
  std::fputs("}\n", out);
}
}  // namespace

int RunSimulator(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(err, "%s\n", USAGE);
    return 2;
  }

  std::FILE* trace = nullptr;
  const bool traceToOut = options.trace && std::strcmp(options.trace, "-") == 0;
  if (traceToOut) {
    trace = out;
  } else if (options.trace) {
    // Binary, so that a trace is the same bytes on every platform (no CR before
    // each newline on Windows).
    trace = std::fopen(options.trace, "wb");
    if (!trace) {
      std::fprintf(err, "jellyquake-sim: cannot write trace file %s: %s\n", options.trace,
                   std::strerror(errno));
      return 2;
    }
  }

  std::vector<GameResult> results;
  int status = 0;
  try {
    for (long long game = 0; game < options.games; ++game) {
      results.push_back(PlayGame(options, options.seed + static_cast<unsigned int>(game), trace));
    }
  } catch (const char* message) {
    std::fprintf(err, "%s\n", message);
    status = 1;
  }

  if (trace && !traceToOut) {
    const bool failed = std::ferror(trace) != 0;
    if (std::fclose(trace) != 0 || failed) {
      std::fprintf(err, "jellyquake-sim: cannot write trace file %s\n", options.trace);
      return 2;
    }
  }
  if (status != 0) return status;
  // Only once every game has been played and traced: a line for each game, then, with
  // --games, one for them all.
  for (size_t game = 0; game < results.size(); ++game) {
    WriteSummary(out, options, options.seed + static_cast<unsigned int>(game), results[game]);
  }
  if (options.gamesGiven) WriteGamesSummary(out, options, results);
  if (std::fflush(out) != 0 || std::ferror(out)) return 2;
  return 0;
}
