#include "render/image_prefetch.h"

#include <system_error>
#include <utility>

#include "render/png_decoder.h"

CImagePrefetch::~CImagePrefetch() {
  Finish();
}

void CImagePrefetch::Finish() {
  if (worker.joinable()) worker.join();
  slots.clear();
}

void CImagePrefetch::Start(const std::vector<std::string>& paths) {
  Finish();
  slots.resize(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    slots[i].path = paths[i];
    slots[i].ready = slots[i].done.get_future();
  }
  // Without a worker every image is simply decoded where it is loaded.
  try {
    worker = std::thread(Decode, &slots);
  } catch (const std::system_error&) {
    slots.clear();
  }
}

void CImagePrefetch::Decode(std::vector<Slot>* slots) {
  for (Slot& slot : *slots) {
    // An image that cannot be had is one that did not decode, as when read in place.
    try {
      slot.decoded = LoadPngImage(slot.path.c_str(), slot.image);
    } catch (...) {
      slot.image = DecodedImage();
      slot.decoded = false;
    }
    slot.done.set_value();
  }
}

bool CImagePrefetch::Take(const char* path, DecodedImage& image, bool& decoded) {
  for (Slot& slot : slots) {
    if (slot.taken || slot.path != path) continue;
    slot.ready.wait();
    slot.taken = true;
    image = std::move(slot.image);
    decoded = slot.decoded;
    return true;
  }
  return false;
}

CImagePrefetch& CImagePrefetch::Shared() {
  static CImagePrefetch prefetch;
  return prefetch;
}
