#include "render/image_prefetch.h"

#include <system_error>
#include <utility>

#include "render/png_decoder.h"

CImagePrefetch::~CImagePrefetch() {
  Finish();
}

void CImagePrefetch::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    for (Slot& slot : slots) {
      if (slot.state == SLOT_WAITING) slot.state = SLOT_GONE;
    }
  }
  Wait();
  slots.clear();
}

void CImagePrefetch::Wait() {
  if (worker.joinable()) worker.join();
}

void CImagePrefetch::Start(const std::vector<std::string>& paths) {
  Finish();
  slots.resize(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) slots[i].path = paths[i];
  // Without a worker every image is simply decoded where it is loaded.
  try {
    worker = std::thread(&CImagePrefetch::Decode, this);
  } catch (const std::system_error&) {
    slots.clear();
  }
}

bool CImagePrefetch::Claim(size_t& index) {
  std::lock_guard<std::mutex> lock(mutex);
  for (index = 0; index < slots.size(); ++index) {
    if (slots[index].state != SLOT_WAITING) continue;
    slots[index].state = SLOT_DECODING;
    return true;
  }
  return false;
}

void CImagePrefetch::Decode() {
  size_t index = 0;
  while (Claim(index)) {
    DecodedImage image;
    bool decoded = false;
    // An image that cannot be had is one that did not decode, as when read in place.
    try {
      decoded = LoadPngImage(slots[index].path.c_str(), image);
    } catch (...) {
      image = DecodedImage();
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      Slot& slot = slots[index];
      slot.image = std::move(image);
      slot.decoded = decoded;
      slot.state = SLOT_DONE;
    }
    decodedOne.notify_all();
  }
}

bool CImagePrefetch::Take(const char* path, DecodedImage& image, bool& decoded) {
  std::unique_lock<std::mutex> lock(mutex);
  for (Slot& slot : slots) {
    if (slot.state == SLOT_GONE || slot.path != path) continue;
    decodedOne.wait(lock, [&] { return slot.state != SLOT_DECODING; });
    const bool done = slot.state == SLOT_DONE;
    if (done) {
      image = std::move(slot.image);
      decoded = slot.decoded;
    }
    slot.state = SLOT_GONE;
    return done;
  }
  return false;
}

CImagePrefetch& CImagePrefetch::Shared() {
  static CImagePrefetch prefetch;
  return prefetch;
}
