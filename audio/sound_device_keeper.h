#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <system_error>
#include <utility>

// Keeps a sink supplied with a sound device through devices that come and go:
// headphones pulled out, a headset plugged in, the sound server restarted. The
// sink asks on each use whether it is time to look at its device, which is at
// most once an interval, so a missing device costs nothing between looks. The
// next device is opened on a thread of its own: a sound system can take a tenth
// of a second to open one, a stutter if the game's thread waited for it.
//
// Device is a small handle that tests false when nothing opened.
template <typename Device>
class CSoundDeviceKeeper {
 public:
  using Open = std::function<Device()>;
  using Close = std::function<void(Device)>;

  CSoundDeviceKeeper(Open open, Close close, double interval)
      : open(std::move(open)), close(std::move(close)), interval(interval) {}
  // A device opened too late to be taken is closed, not left to the system.
  ~CSoundDeviceKeeper() {
    if (Device late = Await()) close(late);
  }
  CSoundDeviceKeeper(const CSoundDeviceKeeper&) = delete;
  CSoundDeviceKeeper& operator=(const CSoundDeviceKeeper&) = delete;

  // True when an interval has passed since the last look (or there was none):
  // time to check the device, or to try for one.
  bool Due(double now) {
    if (looked && now - lastLook < interval) return false;
    looked = true;
    lastLook = now;
    return true;
  }

  // Closes the old device (a lost one, or none) and then opens another, both
  // away from the caller's thread. The old one goes first, as a sound card may
  // take only one player at a time. With an opening already under way, the old
  // device is closed here and that opening stands.
  void Reopen(Device old) {
    if (opening.valid()) {
      if (old) close(old);
      return;
    }
    try {
      opening = std::async(std::launch::async, [this, old]() {
        if (old) close(old);
        return open();
      });
    } catch (const std::system_error&) {
      // No thread to spare (or none at all, as in a browser without threads):
      // opened here, at the cost of the wait.
      if (old) close(old);
      std::promise<Device> opened;
      opened.set_value(open());
      opening = opened.get_future();
    }
  }

  // The device opened, once it is ready, and only the once; else nothing.
  Device Take() {
    if (!opening.valid()) return Device();
    if (opening.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return Device();
    return opening.get();
  }

  // Waits for an opening under way, and gives what it opened.
  Device Await() { return opening.valid() ? opening.get() : Device(); }

 private:
  Open open;
  Close close;
  double interval;
  bool looked = false;
  double lastLook = 0;
  std::future<Device> opening;
};
