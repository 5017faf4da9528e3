#pragma once

#include <list>
#include <vector>

#include "base/render_vertex.h"
#include "game/board.h"
#include "game/events.h"
#include "game/flower.h"
#include "game/pending_hole.h"
#include "game/timer.h"
#include "game/unit.h"
#include "game/world_moment.h"

// The game's one internal error. It is thrown as a plain C string (a const char*), so a
// caller catches it with `catch (const char* message)`. It can only be raised if the board
// has no cell left to crack while a new hole is due, which the hole count limits prevent.
constexpr const char* HOLE_PLACEMENT_ERROR = "couldn't place a new hole";

// Chooses the list a new hole is taken from: mostly cells beside open holes, one time in
// five (and always while no hole is open) a cell anywhere. Takes one random draw whenever
// the far list has cells, even where the draw cannot change the choice, so the sequence of
// draws never hangs on the other conditions. Throws HOLE_PLACEMENT_ERROR if both lists are
// empty.
const std::vector<int>& ChooseHoleList(const std::vector<int>& nearList,
                                       const std::vector<int>& farList, int openHoleCount);

// The cells a board change may close or crack. Cells beside open holes are listed in
// nearList once, plus one more copy per hole neighbour beyond three, so cells deep in a
// chasm are likelier to go; other openable cells are in farList. openable counts distinct
// cells.
struct HoleCandidates {
  std::vector<int> closable;  // cell indices i + j * width
  std::vector<int> nearList;
  std::vector<int> farList;
  int openable = 0;
};

// What PickUnit found under the pointer.
struct PickResult {
  bool found = false;     // a unit was chosen and it can be grabbed
  CUnit* unit = nullptr;  // the unit chosen, grabbable or not; null if none
  double screenX = 0;     // its centre on screen
  double screenY = 0;
  double distance = 0;         // from the eye to its centre
  double screenDistance2 = 0;  // squared screen distance from the pointer (x scaled by aspect)
};

// The whole game model: the board, the blobs, flowers and crumbling cells, the clocks
// that drive them, the score and the eye point toward which blobs glance.
//
// Units, flowers and pending holes live by value in linked lists in creation order; that
// order decides ties and the order of random draws. Units and behaviours point back at the
// world, so a world is never copied or moved.
class CWorld {
 public:
  CWorld() = default;
  CWorld(const CWorld&) = delete;
  CWorld& operator=(const CWorld&) = delete;

  // --- Game rules -----------------------------------------------------------------------
  // Starts a new game: fresh board, fifteen blobs, the 90-second clock.
  void Reset(int w, int h);
  // Advances the world by a frame's time as a sequence of discrete events.
  void Advance(double dt);
  // The earliest event among every running timer (or the given one if none is earlier).
  EventPtr FindNextEvent(const EventPtr& defaultEvent);
  // Moves every clock forward without firing anything; the score grows meanwhile.
  void AdvanceTimers(double dt);
  void EndGame();
  bool IsRunning() const { return gameClock.active; }
  double MoraleSum() const;
  // Mean morale of the blobs, 0 to 1; 0 when no blob counts any more.
  double AverageMorale() const;
  // Direction from a point to the eye in the board plane, in [0, 2 pi).
  double AzimuthTo(double px, double py) const;
  // Angle of the eye above a point, in [0, 2 pi).
  double ElevationTo(double px, double py, double pz) const;
  void OnUnitHopped(CUnit* unit);
  void OnUnitFell(CUnit* unit);
  void UpdateAttraction(CUnit* unit);
  void UpdateGroundRatio(CUnit* unit);

  // --- What happened --------------------------------------------------------------------
  // The moments since the last Advance or Reset began, in the order they happened (the
  // player's pushes between frames included): what sound and sight follow instead of
  // comparing the world from frame to frame.
  const std::vector<WorldMoment>& Moments() const { return moments; }
  void RecordUnitMoment(MomentKind kind, const CUnit& unit);

  // --- Player ---------------------------------------------------------------------------
  // The unit under a pointer at (pointerX, pointerY) in screen coordinates. viewRows holds
  // the depth row, the screen-x row and the screen-y row of the view, three doubles each.
  PickResult PickUnit(double pointerX, double pointerY, const double eye[3],
                      const double viewRows[9], double aspect, double fieldOfView);
  // Flicks a unit of this world; refused (false) for a unit that is not in the world or
  // cannot be grabbed, and for a non-finite angle or distance.
  bool PushUnit(CUnit* unit, double angle, double distance);
  // True if the unit is one of this world's units (it may since have been removed).
  bool ContainsUnit(const CUnit* unit) const;

  // --- Board ----------------------------------------------------------------------------
  int& CellAt(int i, int j);
  const int& CellAt(int i, int j) const;
  CornerClass ClassifyCorner(int i, int j) const;
  int ClassifyPoint(double px, double py) const;
  bool IsFree(double px, double py, double radius, const CUnit* ignored) const;
  // Looks for a free spot at or around (px, py) on rings spread by scale; on success the
  // point is moved there.
  bool FindLandingSpot(double& px, double& py, double radius, double scale,
                       const CUnit* unit) const;
  bool HasNeighbour(int i, int j, int value, bool equal) const;
  int CountNeighbours(int i, int j, int value, bool equal) const;
  // Share of the cells within two cells of the point's cell that are not holes.
  double GroundRatio(double px, double py) const;
  bool IsPending(int i, int j) const;

  // --- Holes and flowers ----------------------------------------------------------------
  void ChangeBoard();
  HoleCandidates ScanHoleCandidates() const;
  void CompleteHole(CPendingHole* hole);
  void OpenHole(int column, int row);
  void SpawnFlower();
  void RemoveFlower(CFlower* flower);

  // --- State, read directly by the game screen and the drawing ---------------------------
  int width = 0;
  int height = 0;
  std::list<CUnit> units;
  double score = 0;
  RenderVertex eyePoint;  // the camera position; only x, y, z are used
  CTimer boardChangeTimer;
  CTimer gameClock;  // active while the game runs
  int openHoleCount = 0;
  int targetHoleCount = 0;
  int boardChangeCount = 0;
  int boardChangeLimit = 0;
  std::vector<int> cells;  // cell (i, j) is cells[i + j * width]
  int outsideValue = CELL_WALL;
  std::list<CPendingHole> pendingHoles;
  std::vector<bool> pendingFlags;  // set exactly while a pending hole exists for the cell
  std::list<CFlower> flowers;
  CTimer flowerSpawnTimer;

 private:
  void RecordCellMoment(MomentKind kind, int index);
  void RecordMoment(MomentKind kind, double x, double y);

  std::vector<WorldMoment> moments;
};
