#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "render/texture.h"

// Decodes a set of PNGs on a worker thread, so that reading the images the first
// frame needs can overlap what only the main thread can do (opening the window).
// Decoding is all the worker does: the upload stays with CTexture, on the thread
// that owns the OpenGL context.
//
// An image the worker has not started when it is needed is decoded by whoever
// needs it, as if it had never been asked for; only one it is in the middle of
// is waited for.
class CImagePrefetch {
 public:
  CImagePrefetch() = default;
  CImagePrefetch(const CImagePrefetch&) = delete;
  CImagePrefetch& operator=(const CImagePrefetch&) = delete;
  // Waits for the image the worker is decoding, if any; it starts no other.
  ~CImagePrefetch();

  // Starts decoding the images at these paths, in this order. Whatever an
  // earlier start left untaken is dropped.
  void Start(const std::vector<std::string>& paths);
  // When the worker has decoded path, or is decoding it (then this waits), and
  // it has not been taken yet: hands the image over, sets decoded to whether it
  // decoded (as LoadPngImage would return) and returns true. Otherwise returns
  // false, leaving image and decoded untouched, and the worker will not decode
  // path any more: the caller decodes it itself.
  bool Take(const char* path, DecodedImage& image, bool& decoded);
  // Waits until the worker has decoded every image not yet taken.
  void Wait();

  // The one the game's textures look in before they decode an image themselves.
  static CImagePrefetch& Shared();

 private:
  enum SlotState { SLOT_WAITING, SLOT_DECODING, SLOT_DONE, SLOT_GONE };
  struct Slot {
    std::string path;
    SlotState state = SLOT_WAITING;
    DecodedImage image;
    bool decoded = false;
  };
  void Decode();
  // Claims the next waiting slot for the worker; false when none is left.
  bool Claim(size_t& index);
  void Finish();

  // Guards the slots' states and results; each path is fixed while the worker runs.
  std::mutex mutex;
  // Signalled each time the worker finishes an image.
  std::condition_variable decodedOne;
  std::vector<Slot> slots;
  std::thread worker;
};
