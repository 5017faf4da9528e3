// The keeper with a fake device (an int, 0 for none): it looks at most once an
// interval however often it is asked, opens away from the game's thread without
// holding it up, closes a lost device before opening the next, and closes a
// device that came too late to be taken.
#include "audio/sound_device_keeper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {
TEST(SoundDeviceKeeper, TriesOnceAnIntervalWhenAskedEveryFrame) {
  std::atomic<int> opens{0};
  CSoundDeviceKeeper<int> keeper(
      [&] {
        ++opens;
        return 0;
      },
      [](int) {}, 1.0);
  for (int frame = 0; frame < 210; ++frame) {  // 3.5 s at 60 frames a second
    if (keeper.Due(frame / 60.0)) keeper.Reopen(0);
    EXPECT_EQ(keeper.Await(), 0);
  }
  EXPECT_EQ(opens, 4);  // at 0, 1, 2 and 3 s
}

TEST(SoundDeviceKeeper, OpensAwayFromTheCallerAndHandsTheDeviceOverOnce) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> opens{0};
  std::thread::id opener;
  CSoundDeviceKeeper<int> keeper(
      [&] {
        ++opens;
        opener = std::this_thread::get_id();
        released.wait();
        return 7;
      },
      [](int) {}, 1.0);
  keeper.Reopen(0);
  EXPECT_EQ(keeper.Take(), 0);  // still opening, and the caller goes on
  keeper.Reopen(0);             // one opening at a time
  release.set_value();
  EXPECT_EQ(keeper.Await(), 7);
  EXPECT_EQ(keeper.Take(), 0);
  EXPECT_EQ(opens, 1);
  EXPECT_NE(opener, std::this_thread::get_id());
}

TEST(SoundDeviceKeeper, ClosesTheLostDeviceFirstAndALateOneAtTheEnd) {
  std::vector<std::string> log;
  {
    CSoundDeviceKeeper<int> keeper(
        [&] {
          log.push_back("open");
          return 2;
        },
        [&](int device) { log.push_back("close " + std::to_string(device)); }, 1.0);
    keeper.Reopen(1);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"close 1", "open", "close 2"}));
}
}  // namespace
