#pragma once
// Writing files the safe way: into a temporary file beside the target, flushed to disk and
// renamed over the target, so that a failed write never leaves a half-written file.
#include <cstdio>
#include <string>

namespace plat::gfx_detail {

class AtomicFile {
 public:
  // Creates the temporary file; throws GfxError when the folder is not writable.
  explicit AtomicFile(std::string target);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  FILE* Stream() { return file_; }
  const std::string& TempPath() const { return temp_; }
  // Appends bytes; false once any write failed.
  bool Write(const void* data, size_t size);
  // Flushes, syncs and renames over the target; throws GfxError on any failure.
  void Commit();
  // Closes the stream (for writers that reopen the temporary path by name) without committing.
  void CloseStream();

 private:
  std::string target_;
  std::string temp_;
  FILE* file_ = nullptr;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace plat::gfx_detail
