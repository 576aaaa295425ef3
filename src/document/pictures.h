#pragma once
// TDocGraphic: the picture a shape shows. The encoded picture lives in a file of its own (a
// temporary file the picture made and deletes again); the decoded form is held only while it
// is needed and counted against one program-wide budget of decoded pictures.
//
// Decoding belongs to the layout's codecs: the model asks them through TPictureDecoder, whose
// default decodes nothing (every picture then stays unloaded and is drawn as a placeholder).
#include <array>
#include <cstdint>
#include <vector>
#include <memory>
#include <span>
#include <string>

namespace qv {

class TShape;

// A decoded picture; the decoder's own subclass holds the pixels.
class TDecodedPicture {
 public:
  virtual ~TDecodedPicture() = default;
  int32_t Width = 0;   // pixels
  int32_t Height = 0;
  int64_t ByteSize = 0;  // memory the decoded form holds
  // The colour (0x00BBGGRR) of a pixel inside the picture; pictures without pixels of their
  // own are white.
  virtual uint32_t ColorAt(int32_t /*x*/, int32_t /*y*/) const { return 0xFFFFFF; }
};

class TPictureDecoder {
 public:
  struct TSize {
    int32_t Width = 0, Height = 0;
  };
  virtual ~TPictureDecoder() = default;
  // The pixel size the encoded picture claims, read from its header only; false when the data
  // is not a picture of the kind or is damaged.
  virtual bool ReadSize(int32_t /*kind*/, std::span<const uint8_t> /*data*/, TSize& /*size*/) { return false; }
  // The decoded picture; null when it cannot be decoded.
  virtual std::unique_ptr<TDecodedPicture> Decode(int32_t /*kind*/, std::span<const uint8_t> /*data*/) {
    return nullptr;
  }
};

void RegisterPictureDecoder(std::unique_ptr<TPictureDecoder> decoder);
TPictureDecoder& PictureDecoder();

// The sum of the byte sizes of all decoded pictures, and its limit (256 MiB).
inline constexpr int64_t kPictureMemoryLimit = 0x10000000;
int64_t LoadedPictureBytes();
bool IsPictureMemoryOverLimit();

class TDocGraphic {
 public:
  enum class TKind : int8_t { None = -1, Metafile = 0, Png = 1, Jpeg = 2 };
  // The largest picture file taken (larger data is refused).
  static constexpr size_t MaxFileBytes = size_t{1} << 28;

  explicit TDocGraphic(TShape* shape) : Shape(shape) {}
  ~TDocGraphic();
  TDocGraphic(const TDocGraphic&) = delete;
  TDocGraphic& operator=(const TDocGraphic&) = delete;

  int32_t ColorCount = 0;
  TShape* Shape;
  std::string FileName;
  int32_t ByteSize = 0;
  int32_t DrawCount = 0;
  int32_t SameSizeCount = 0;  // draws in a row at the same display size
  int32_t LastWidth = 0, LastHeight = 0;
  int32_t MapMode = 8;
  int32_t ExtentX = 0, ExtentY = 0;
  bool FromWmf = false;
  TKind PictureKind = TKind::None;

  bool Unloaded() const { return decoded_ == nullptr; }
  // Whether the picture is shown as a placeholder: its data could not be decoded or its decoded
  // size passes the budget. The size it claims (when readable) is kept.
  bool Damaged() const { return damaged_; }
  const TDecodedPicture* Decoded() const { return decoded_.get(); }

  // Writes the data to a new temporary file of the picture (the one before is deleted) and sets
  // the kind; false when the data are too large or the file cannot be written.
  bool AttachData(std::span<const uint8_t> data, TKind kind);
  // Gives this picture its own copy of the source's file with the source's kind, metafile data
  // and byte size; it stays unloaded. False when the file cannot be read or written.
  bool CopyFrom(const TDocGraphic& source);
  // The picture's own pixel size from its header; false when damaged.
  bool ReadPixelSize(TPictureDecoder::TSize& size) const;
  // Decodes (false) or releases (true) the decoded form. Loading refuses damaged data and
  // pictures whose decoded size passes the budget; then the picture stays unloaded.
  void SetUnloaded(bool unload);
  // The number of distinct colours, counted scanline by scanline and stopping after the
  // scanline in which it passes 256; cached. 0 when the picture cannot be decoded.
  int32_t GetColorCount();
  // Counts a draw at the display size and says whether it is to come from a bitmap scaled to
  // that size (always when dimmed; a decoded PNG or JPEG drawn at least four times in a row at
  // one size of at least 256 pixels' width plus height that is not 1:1).
  bool PrepareScaledCopy(int32_t width, int32_t height, bool dimmed, int32_t zoomPercent);
  // The outline of the picture's non-white pixels for tight and through wrapping: (x, y) points
  // in a 21600 x 21600 space, the first point repeated at the end; the four corners when the
  // picture cannot be decoded or is all background.
  std::vector<std::array<int32_t, 2>> TraceWrapPolygon();

 private:
  bool ReadFile(std::string& bytes) const;
  std::unique_ptr<TDecodedPicture> decoded_;
  bool damaged_ = false;
};

}  // namespace qv
