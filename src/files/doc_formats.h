#pragma once
// Document format indexes, as the open and save roads, the probe and the documents keep them.
#include <cstdint>

namespace qv {

enum : int32_t {
  dfRtf = 0,
  dfDoc = 1,
  dfDocx = 2,
  dfOdt = 3,
  dfEncrypted = 4,
  dfWrite = 5,
  dfText = 6,
  dfDetect = 7,     // any index above plain text: detect the format from the content
  dfHtml = 0xF000,  // HTML, for reading
  dfRefused = -1,
};

}  // namespace qv
