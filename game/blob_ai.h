#pragma once

class CUnit;
class CWorld;

// A blob's behaviour: two moods in [0, 1] fed by the world, the face they show, and the
// decision, whenever the blob stands idle, to glance at the camera or hop away. Unhappy,
// frightened blobs hop often and far; content ones stay put.
class CBlobAI {
 public:
  virtual ~CBlobAI() = default;
  virtual void Init(CUnit* owner, CWorld* ownerWorld);
  // Fear fades where there is ground around; attraction lifts happiness.
  virtual void Update(double dt);
  virtual void OnFall();
  virtual void Decide();
  virtual void Scare(double distance);
  virtual void Sadden(double distance);
  virtual void SetAttraction(double value);
  virtual void SetGroundRatio(double value);
  virtual bool IsHappy() const;
  // How strongly something at this distance pulls on the blob's happiness.
  virtual double Influence(double distance) const;
  virtual double GetWillingness() const;
  virtual double GetHappiness() const;
  virtual double GetFear() const;
  virtual void SetGameOver();

  // Chooses the unit's mouth and eyes from the moods.
  void UpdateFace();

  CUnit* unit = nullptr;
  CWorld* world = nullptr;
  double happiness = 0.75;
  double fear = 0;
  double attraction = 0;   // pull of flowers and happy blobs nearby, set by the world
  double groundRatio = 1;  // share of solid cells around the blob, set by the world
  bool gameOver = false;
};
