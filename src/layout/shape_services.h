#pragma once
// The layout's answers for shapes: pictures decoded by its codecs and the metafile player, and
// the size of inline shapes for line fitting.
#include <memory>

#include "document/pictures.h"
#include "layout/inline_shape_service.h"

namespace qv {

std::unique_ptr<TPictureDecoder> MakeLayoutPictureDecoder();
std::unique_ptr<TInlineShapeService> MakeLayoutInlineShapeService();

}  // namespace qv
