// The keeper with a fake device (an int, 0 for none): the game's thread never
// waits on an opening, one opening runs at a time, the lost device is closed
// before the next is opened, and one opened too late to be taken is closed.
#include "audio/sound_device_keeper.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

TEST(SoundDeviceKeeper, OpensAwayFromTheCallerOneAtATimeAndClosesEveryDevice) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::vector<std::string> log;
  std::thread::id opener;
  {
    CSoundDeviceKeeper<int> keeper(
        [&] {
          opener = std::this_thread::get_id();
          released.wait();
          log.push_back("open");
          return 2;
        },
        [&](int device) { log.push_back("close " + std::to_string(device)); }, 1.0);
    keeper.Reopen(1);
    EXPECT_EQ(keeper.Take(), 0);  // still opening, and the caller goes on
    keeper.Reopen(0);
    release.set_value();
  }
  EXPECT_EQ(log, (std::vector<std::string>{"close 1", "open", "close 2"}));
  EXPECT_NE(opener, std::this_thread::get_id());
}
