#pragma once

#include <future>
#include <string>
#include <thread>
#include <vector>

#include "render/texture.h"

// Decodes a set of PNGs on a worker thread, so that reading the images the first
// frame needs overlaps what only the main thread can do (opening the window).
// Decoding is all the worker does: the upload stays with CTexture, on the thread
// that owns the OpenGL context.
class CImagePrefetch {
 public:
  CImagePrefetch() = default;
  CImagePrefetch(const CImagePrefetch&) = delete;
  CImagePrefetch& operator=(const CImagePrefetch&) = delete;
  // Waits for the worker: no decode outlives the images it writes into.
  ~CImagePrefetch();

  // Starts decoding the images at these paths, in this order. Whatever an
  // earlier start left untaken is dropped.
  void Start(const std::vector<std::string>& paths);
  // When path was started and not taken yet: waits for its decode, hands the
  // image over, sets decoded to whether it decoded (as LoadPngImage would
  // return) and returns true. False, with image and decoded untouched, for any
  // other path: the caller decodes it itself.
  bool Take(const char* path, DecodedImage& image, bool& decoded);

  // The one the game's textures look in before they decode an image themselves.
  static CImagePrefetch& Shared();

 private:
  struct Slot {
    std::string path;
    DecodedImage image;
    bool decoded = false;
    bool taken = false;
    // Set by the worker once image and decoded are written; it touches the
    // slot no more after that.
    std::promise<void> done;
    std::future<void> ready;
  };
  static void Decode(std::vector<Slot>* slots);
  void Finish();

  // Fixed in size before the worker starts, so neither thread moves a slot.
  std::vector<Slot> slots;
  std::thread worker;
};
